#pragma once
// The line the general error box adds under a port error's own text: what the person
// at the PC can do about it.
#include <QString>

#include "base/errors.h"

namespace zmr {

// Empty when the failure gives no such advice.
// `user` and `group` name the account and the device's group in the dialout advice.
QString PortErrorHint(const PortError& error, const QString& user, const QString& group);

// The error box text: the port error's text (with its full stop rule), then the hint
// line for this user and the device's group.
QString PortErrorText(const PortError& error);

// The account this program runs as ("$USER", else the password database).
QString CurrentUserName();
// The group that owns the device node; "dialout" when it cannot be told.
QString DeviceGroup(const QString& device);

}  // namespace zmr
