#pragma once

#include <QIcon>
#include <QPixmap>

// The program's pictures, drawn in code: no image files to ship.
namespace Pictures {

// The program and tray icon: a blue speech bubble.
QIcon ProgramIcon();

// The picture tool bar's pictures by their number (1 add contact, 2 manage lists, 3 sent
// messages, 4 show credit, 5 buy credit, 6 find contact), 24 pixels, normal or highlighted.
QPixmap ToolPicture(int number, bool highlighted);

// The logo shown in the grey area of an empty phone book.
QPixmap Logo();

// The tray area drawn in the first-close notice, with the program's icon marked.
QPixmap TrayAreaPicture();

} // namespace Pictures
