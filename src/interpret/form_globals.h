// What a form file holds outside its procedures. A window that global code opens has
// its creating lines lifted into a generated procedure; the declarations (constants,
// enumerations of other numbers, structures, macros, prototypes, globals, Declare
// lines, data sections, image decoders) become a section of CommonFile.pb of their
// own; the program code (loops, calls) stays out.
#pragma once

#include "model/stage.h"

namespace tarnwick {

// The statements of a line's code: 0-based [begin, end) spans between the ":" that
// separate them (outside literals, not "::"), up to the comment.
struct StatementSpan {
  std::size_t begin = 0, end = 0;
};
std::vector<StatementSpan> statementsOf(TextView line);
// The first word of a statement, upper-cased ("IF", "ENUMERATION", "#NAME" gives "").
Text statementKeyword(TextView statement);

// Lifts each window that the global lines of one form file open into a procedure
// "Open_" + window name, inserted into FormCodeLines at insertAt, before the file's own
// procedures; the lifted lines leave the global lines. A window the run cannot take
// (opened into a structure field) is noted in the file's refusals; a window that
// global code opens where it cannot be lifted, in its notes. Returns, for each line
// inserted, the number of the file's line it was lifted from; 0 for a line the run
// wrote (the head, the end, a closing EndIf, the separator).
std::vector<std::size_t> liftGlobalWindows(StageContext& ctx, FormFileGlobals& globals, std::size_t insertAt,
                                           const std::vector<Text>& fileProcedures);
// Names the windows that the form code of one file, from index from on, opens with a
// number: window n becomes #Window_n where it is opened and addressed within its
// procedure, its gadgets created with a number #Gadget_ and their number.
void nameNumberedWindows(StageContext& ctx, const FormFileGlobals& globals, std::size_t from);
// Notes a window that a line opens where the run cannot see it: into a structure
// field (a refusal); and whether it opens one with a number.
void noteUnseenWindow(FormFileGlobals& globals, std::size_t number, const Text& line);

// After the duplicate checks: builds the declarations section of CommonFile.pb from the
// global lines of the form files, leaving out what CommonFile.pb declares itself, and
// logs for each file how many lines of program code stayed out.
void CollectFormDeclarations(StageContext& ctx);

// Records for each window the designer's "ResizeGadgets" + window name procedure, when
// the form code defines it without arguments.
void FindResizeProcedures(FormModel& model);

// For each window whose procedure needs arguments, and whose window Main.pb opens, a
// procedure "Open_" + window name that calls it with empty arguments of their types;
// appended to the form code.
void AddOpenWrappers(StageContext& ctx);

}  // namespace tarnwick
