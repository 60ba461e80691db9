// The program's own icons (SVG, drawn for this program), rendered sharp at every size.
#pragma once

#include <QIcon>
#include <string_view>

namespace zyl::ui {

// The icon data/icons/<name>.svg; an empty icon for an unknown name.
QIcon LoadIcon(std::string_view name);

}  // namespace zyl::ui
