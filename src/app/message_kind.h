// The icon of a message box; every message box has the caption "Tunevale".
#pragma once

namespace tunevale {

enum TMessageKind { mtError, mtWarning, mtInformation };

}  // namespace tunevale
