#pragma once

#include <QIcon>
#include <QPixmap>

// The small pictures of the phone book's views, by their index in the image list: 1 a contact
// in the tree, 15 a list, 20 a contact or number among the recipients. Drawn in code.
namespace PhoneBookPictures {

constexpr int Contact = 1;
constexpr int List = 15;
constexpr int Recipient = 20;

// 16 pixels; an empty icon for an index without a picture.
QIcon Picture(int imageIndex);

// The tool bar's pictures 1 (add contact) and 6 (find contact), 24 pixels.
QPixmap AddContactTool(bool highlighted);
QPixmap FindContactTool(bool highlighted);

} // namespace PhoneBookPictures
