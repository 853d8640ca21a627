#include "QLabelFrame.h"

QLabelFrame::QLabelFrame(QWidget *parent, Qt::WindowFlags f) : QLabel(parent, f) {}

QLabelFrame::QLabelFrame(const QString &text, QWidget *parent, Qt::WindowFlags f) : QLabel(text, parent, f) {}
