// What a host reads of a StatusNotifierItem's properties (org.kde.StatusNotifierItem, GetAll), in the
// line form both test tools print: "prop NAME VALUE", one line each.
#pragma once

#include "SniTypes.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantMap>

CSniToolTip ToolTipOf(const QVariantMap& props);
QList<CSniPixmap> PixmapsOf(const QVariantMap& props);
// The object path of the item's exported menu, or empty.
QString MenuPathOf(const QVariantMap& props);
// "r g b": the mean colour of the image's visible pixels, or "none".
QString MeanColour(const QImage& image);

// Id, Title, Category, Status, IconName, ItemIsMenu, Menu, ToolTip.Title, ToolTip.Text, IconPixmap (the
// sizes) and IconColour (the mean colour of the largest pixmap).
QStringList PropLines(const QVariantMap& props);
