// SPDX-License-Identifier: GPL-3.0-or-later
#include "ScenePicture.h"

#include "ImageCanvas.h"
#include "Scene.h"

#include "core/Version.h"

#include <QBuffer>

namespace taonscope {

QImage TaonPicture(const World& world, ViewState& view, int width, int height) {
    // Made as the scene widget makes its image, so that the pixels are the same.
    QImage image(std::max(width, 1), std::max(height, 1), QImage::Format_RGB32);
    image.fill(Qt::black);
    UpdateSceneCentre(view, width, height);
    ImageCanvas canvas(image);
    DrawTaons(canvas, view, world, {width, height});
    return image;
}

std::string PngBytes(const QImage& image) {
    QImage named = image;
    named.setText(QStringLiteral("Software"), QString::fromLatin1(ProgramSignature));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    named.save(&buffer, "PNG");
    return bytes.toStdString();
}

} // namespace taonscope
