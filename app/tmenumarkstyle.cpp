#include "app/tmenumarkstyle.h"

#include <QStyleOptionMenuItem>

void TMenuMarkStyle::drawControl(ControlElement element, const QStyleOption* option,
                                 QPainter* painter, const QWidget* widget) const {
    const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    if (element == CE_MenuItem && item != nullptr &&
        item->checkType != QStyleOptionMenuItem::NotCheckable && !item->checked) {
        // Drawn as a plain item; the room for the mark stays, so the captions still line up.
        QStyleOptionMenuItem plain(*item);
        plain.checkType = QStyleOptionMenuItem::NotCheckable;
        QProxyStyle::drawControl(element, &plain, painter, widget);
        return;
    }
    QProxyStyle::drawControl(element, option, painter, widget);
}
