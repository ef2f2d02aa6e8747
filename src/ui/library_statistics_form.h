// The library statistics: counts, the leading artists and the lengths, in
// read-only boxes; a "Close" button that is default and cancel.
#pragma once

#include "ui/tessel_dialog_form.h"

namespace tunevale {

struct TLibraryStatistics;

class TLibraryStatisticsForm final : public TTesselDialogForm {
 public:
  TLibraryStatisticsForm(const TLibraryStatistics& statistics, QWidget* owner);
};

}  // namespace tunevale
