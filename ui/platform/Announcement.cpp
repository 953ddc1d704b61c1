#include "Announcement.h"

TAnnouncement::TAnnouncement(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    setGeometry(0, 0, 0, 0);
    hide();
}

void TAnnouncement::Announce(const QString& text)
{
    setAccessibleName(text);
    show();
    hide();
    emit Announced(text);
}
