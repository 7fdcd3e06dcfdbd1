#include "Application.h"

#include <QCoreApplication>

namespace taonscope {

void NameApplication() {
    QCoreApplication::setApplicationName(QStringLiteral("Taonscope"));
}

} // namespace taonscope
