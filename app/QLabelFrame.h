#pragma once

#include <QLabel>

// A label of its own class, so that the dark style sheet can give the two
// version fields a frame of their own.
class QLabelFrame : public QLabel
{
    Q_OBJECT

public:
    explicit QLabelFrame(QWidget *parent = nullptr, Qt::WindowFlags f = Qt::WindowFlags());
    explicit QLabelFrame(const QString &text, QWidget *parent = nullptr, Qt::WindowFlags f = Qt::WindowFlags());
};
