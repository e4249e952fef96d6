#pragma once
// Conversions between the platform's values and Qt's: colours (system colours resolve through the
// application's palette), fonts, pictures, key codes, mouse buttons and shift states, and text
// positions (the platform counts characters, Qt counts UTF-16 units).

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPalette>
#include <QString>

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/Font.h"
#include "platform/Picture.h"
#include "platform/Types.h"

class QKeyEvent;

namespace tamarind::platform::qt {

QString ToQString(std::string_view utf8);
std::string ToUtf8(const QString& s);

// A colour value, or the palette's colour for a system colour.
QColor ToQColor(OLE_COLOR c, const QPalette& palette);
// The palette role a system colour stands for; QPalette::NoRole for a plain colour.
QPalette::ColorRole SystemColorRole(OLE_COLOR c);

QFont ToQFont(const StdFont& f);
// The platform's font for a Qt font (a font sized in pixels only counts as 8 points).
FontRef FromQFont(const QFont& f);

QImage ToQImage(const StdPicture& p);
// Error 481 (Invalid picture) for a null image.
PictureRef FromQImage(const QImage& image);
// A picture from the bytes of an image file in any format Qt reads (BMP, PNG, JPEG, GIF, ...).
// Error 481 (Invalid picture) for bytes that are no image.
PictureRef ReadPicture(const QByteArray& bytes);
// The image with every pixel of the mask colour transparent.
QImage Masked(const QImage& image, OLE_COLOR maskColor);

// The platform's key code of a key event (0 for a key it has no code for) and its shift state.
int16_t KeyCodeOf(const QKeyEvent& e);
int16_t ShiftOf(Qt::KeyboardModifiers m);
// The platform's mouse button of a Qt button (0 for none).
int16_t ButtonOf(Qt::MouseButton b);
// Qt's key for a platform key code (the reverse of KeyCodeOf), Qt::Key_unknown when none.
Qt::Key QtKeyOf(int16_t keyCode);

// Character positions in a UTF-8 text and the UTF-16 positions of the same place in a QString.
int Utf16Index(const QString& s, int32_t characters);
int32_t CharacterIndex(const QString& s, int utf16);

}  // namespace tamarind::platform::qt
