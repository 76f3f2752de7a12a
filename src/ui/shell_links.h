#pragma once
// Mail and web links that the desktop opens; on a machine with nothing to open them a box
// says so and shows the address, so it can be copied from there.
#include <functional>

#include <QString>

class QLabel;

namespace zmr {

class Prompts;

inline const QString kMailNotOpenedText = QStringLiteral(
    "No e-mail program could be opened to write to us.\nYou can select and copy our address from here:\n%1");
inline const QString kWebNotOpenedText = QStringLiteral(
    "No web browser could be opened for our home page.\nYou can select and copy its address from here:\n%1");

// Has the shell open `target`; when it cannot, a warning box gives `not_opened_text` with
// `address` in place of its %1.
void OpenLinkOrShowAddress(Prompts& prompts, const QString& target, const QString& not_opened_text,
                           const QString& address);

// From now on the label is a link: a left click, or Enter or Space while it has the
// keyboard focus (Tab reaches it), runs `open`.
void ActAsLink(QLabel& label, std::function<void()> open);

// A new mail to `address` in the mail program, or the box that shows the address.
void WriteMailTo(Prompts& prompts, const QString& address);

}  // namespace zmr
