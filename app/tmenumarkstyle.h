#pragma once

#include <QProxyStyle>

// The style of the player's menus: a menu item that can carry a check mark shows nothing until it
// is checked, where the common styles draw an empty box beside it. The rest is the application's
// style.
class TMenuMarkStyle : public QProxyStyle {
    Q_OBJECT
public:
    using QProxyStyle::QProxyStyle;

    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget = nullptr) const override;
};
