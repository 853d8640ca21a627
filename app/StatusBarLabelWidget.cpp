#include "StatusBarLabelWidget.h"

#include <QHBoxLayout>
#include <QLabel>

StatusBarLabelWidget::StatusBarLabelWidget(QWidget *parent)
    : QWidget(parent), m_pLayout(new QHBoxLayout(this)), m_pIconLabel(new QLabel(this)), m_pTextLabel(new QLabel(this))
{
    m_pLayout->setContentsMargins(0, 0, 0, 0);
    m_pTextLabel->setMargin(3);
    m_pLayout->addWidget(m_pIconLabel, 0);
    m_pLayout->addWidget(m_pTextLabel, 0);
}

void StatusBarLabelWidget::setPixmap(const QPixmap &pixmap)
{
    m_pIconLabel->setPixmap(pixmap);
}

void StatusBarLabelWidget::setText(const QString &szText)
{
    m_pTextLabel->setText(szText);
}

QString StatusBarLabelWidget::text() const
{
    return m_pTextLabel->text();
}
