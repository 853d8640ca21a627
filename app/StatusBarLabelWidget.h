#pragma once

#include <QWidget>

class QHBoxLayout;
class QLabel;
class QPixmap;

// A status-bar field: a small picture followed by a text.
class StatusBarLabelWidget : public QWidget
{
    Q_OBJECT

public:
    explicit StatusBarLabelWidget(QWidget *parent = nullptr);

    void setPixmap(const QPixmap &pixmap);
    void setText(const QString &szText);
    QString text() const;

private:
    QHBoxLayout *m_pLayout;
    QLabel *m_pIconLabel;
    QLabel *m_pTextLabel;
};
