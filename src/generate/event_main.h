// EventMain.pb: the four dispatch procedures that route menu, gadget, size and close
// events to the event procedures, as Select blocks or as call tables.
#pragma once

#include "model/form_model.h"

namespace tarnwick {

// Fills the plain template: one Case per object in each Select block.
void fillPlainDispatch(FormModel& model);
// Fills the call-table template: the three counts and the tables of the DataSection.
// A table index is the value of the object's constant, so the lists keep their order.
void fillCallTables(FormModel& model);

}  // namespace tarnwick
