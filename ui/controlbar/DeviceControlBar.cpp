#include "DeviceControlBar.h"

DeviceControlBar::DeviceControlBar(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("deviceControlBar"));
    setAttribute(Qt::WA_StyledBackground);
    setStyleSheet(QStringLiteral(".DeviceControlBar { background-color: rgb(30,31,35); border-right: 1px solid "
                                 "rgb(78,83,90);border-bottom: 1px solid rgb(78,83,90); }"));
    resize(kWidth, 400);
}
