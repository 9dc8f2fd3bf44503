#pragma once

#include <QIcon>

namespace quayline {

// The icon of an application that cannot be found: a light rounded square with a grey "?",
// drawn as vectors so that every size is sharp. Created once and shared.
const QIcon& placeholderIcon();

}  // namespace quayline
