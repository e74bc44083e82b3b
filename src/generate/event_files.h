// The event procedure files EventMenu.pb, EventWindow.pb and EventGadget.pb: they
// belong to the user, so a run only appends a skeleton for each object that has no
// procedure yet and never changes a line that is there.
#pragma once

#include <unordered_set>

#include "model/form_model.h"

namespace tarnwick {

// The procedure heads that occur in a buffer. A head counts as present when it stands
// anywhere in a line, case-sensitive; the index answers that without searching every
// line for every object.
class HeadIndex {
 public:
  explicit HeadIndex(const Lines& lines);
  void add(const Text& line);
  bool contains(const Text& head) const;

 private:
  const Lines& lines_;
  std::unordered_set<Text> heads_;
};

// The head line of each procedure kind; it is also the text that marks it present.
Text menuHead(const Text& name);
Text sizeHead(const Text& name);
Text exitHead(const Text& name);
Text gadgetHead(const Text& name);

// How the generated code names an object: "#" + name for a constant, the bare name for
// an object created with #PB_Any into a variable.
inline Text objectReference(const Text& name, bool variable) { return variable ? name : "#" + name; }

// Text and frame gadgets (Frame3DGadget, FrameGadget) raise no events worth a procedure.
bool hasEventProcedure(const GadgetEntry& gadget);

// The four passes, in the order step 4 runs them.
void appendMenuProcedures(FormModel& model);
void appendSizeProcedures(FormModel& model);
void appendExitProcedures(FormModel& model);
void appendGadgetProcedures(FormModel& model);

}  // namespace tarnwick
