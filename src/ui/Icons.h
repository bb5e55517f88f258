#pragma once
// The tool's own icons, from the resources/icons folder.

#include <QIcon>

#include <string>

namespace zor::ui {

// Makes the icons of the library reachable; call once before any window.
void InitResources();

// An icon by its file name without extension ("find", "save" ...).
QIcon Icon(const std::string& name);

// The device tree's 24 x 24 images: 0 a device just added, 1..4 the model
// nodes (model kind + 1: ZOR-11, ZOR-12, ZOR-13, ZOR-10), 7 a working
// device, 8 a device in error; any other index shows no image.
QIcon TreeImage(int index);

// An image of the tree with the calibration-due mark in its lower right
// quarter.
QIcon WithDueMark(const QIcon& image);

} // namespace zor::ui
