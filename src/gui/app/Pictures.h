#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>

// The program's pictures and icons, read as every file of the program is read: only a regular file
// is opened (see FileRead.h), and only one of a size a picture can have. A pipe or a device where a
// picture belongs, a folder, or a file too large or too damaged to be a picture counts as a
// missing picture: the window opens without it.
namespace pictures {

// The largest picture file that is read, and the largest picture in pixels on either side; the
// program's own are far below both.
inline constexpr qint64 kLargestFile = 16 * 1024 * 1024;
inline constexpr int kLargestSide = 4096;

// The picture in the file (of an icon file, its first image), drawn smaller with the layout on a
// small screen (see twips::scale()); a null pixmap when there is none.
QPixmap picture(const QString& path);

// Every image of the icon file, each at its own size; a null icon when there is none.
QIcon icon(const QString& path);

} // namespace pictures
