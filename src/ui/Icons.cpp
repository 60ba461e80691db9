#include "ui/Icons.h"

#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

namespace zyl::ui {

QIcon LoadIcon(std::string_view name) {
  const QString path =
      QStringLiteral(":/icons/%1.svg")
          .arg(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
  QSvgRenderer renderer(path);
  QIcon icon;
  if (!renderer.isValid()) return icon;
  // Rendered at the sizes toolbars and lists ask for, so no size is a scaled bitmap.
  for (const int size : {16, 20, 24, 32, 48}) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter);
    painter.end();
    icon.addPixmap(pixmap);
  }
  return icon;
}

}  // namespace zyl::ui
