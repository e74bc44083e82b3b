// Small text helpers shared by the form code passes, the source loader and the
// duplicate checks. Positions are 1-based byte positions; 0 means "not found".
#pragma once

#include <vector>

#include "model/text.h"

namespace tarnwick {

// Plain search for one character at or after start.
std::size_t findChar(TextView line, char c, std::size_t start = 1);

// The index of the first character at or after index i (0-based, not inside a
// literal) that belongs to the code of the line and stands outside string literals:
// "...", ~"..." (whose backslash escapes may hold a quote) and '...'. The length of the
// line once the comment (a ";" outside literals) or the end is reached. Scanners walk
// the code with i = codeChar(line, i + 1).
std::size_t codeChar(TextView line, std::size_t i);

// The characters of a PureBasic name: ASCII letters, digits and "_".
bool isIdentifierChar(char c);
// The name that ends directly before position pos, e.g. the command word in front of
// a "(#": "ContainerGadget" in "If ContainerGadget(#C" and in "x=ContainerGadget(#C".
Text wordBefore(TextView line, std::size_t pos);
// The same with the module in front of the name when the call names a module
// procedure: "ListEx::Gadget" in "ListEx::Gadget(#List".
Text commandBefore(TextView line, std::size_t pos);
// The 0-based index where that name with its module begins; pos - 1 when there is none.
std::size_t commandStart(TextView line, std::size_t pos);
// True when the text is one PureBasic name: a letter or "_", then letters, digits, "_".
bool isPureBasicName(TextView text);

// The ")" that closes the "(" at position open, ignoring parentheses inside string
// literals; 0 when the call is not closed on this line.
std::size_t closingParenthesis(TextView line, std::size_t open);

// True when the "#" at position hashPos starts the constant #PB_Any (any case).
bool isPbAnyAt(TextView line, std::size_t hashPos);
// True when the "#" at position hashPos starts one of PureBasic's own constants, whose
// names begin with PB_ (any case): #PB_Any, #PB_Default, #PB_Window_SystemMenu.
bool isPbConstantAt(TextView line, std::size_t hashPos);
// True when a constant name (without its "#", as trimmed) is PB_Any in any case.
bool isPbAnyName(TextView name);
// The variable that receives the object of a call whose "(" stands at position open,
// when the call's first argument is #PB_Any and the statement reads
// "Name = Command(#PB_Any, ..." or "Name.type = ...", at the start of the line or behind
// a ":". Name without its type; empty for any other call (a condition such as
// "If OpenWindow(#PB_Any, ...", a comparison, an argument of another call).
Text pbAnyAssignment(TextView line, std::size_t open);

// The text before the first ";" of the line: the part that is not a comment.
TextView codePart(TextView line);

// True when the line, after leading blanks and tabs, begins with "Procedure" (any case).
bool startsWithProcedure(TextView line);
// True when the line is the head of a procedure (Procedure, ProcedureC, ProcedureDLL,
// ProcedureCDLL, with or without a type), not a ProcedureReturn.
bool isProcedureHead(TextView line);
// The name a procedure head declares: after blanks and tabs Procedure, ProcedureC,
// ProcedureDLL or ProcedureCDLL (any case), an optional ".type", the name, optional
// blanks and "(" ("Window_0_Events" for "Procedure.i Window_0_Events(event)"). Empty
// when the line is no such head.
Text procedureHeadName(TextView line);
// Where a statement's keyword and its optional ".type" end ("Declare.i Name(" -> 9).
std::size_t keywordAndTypeEnd(TextView statement);
// True when a parameter of a procedure head has no default value: the procedure cannot
// be called without arguments. Parameters are split at the commas outside strings and
// nested parentheses; "x = 0" has a default.
bool procedureNeedsArguments(TextView headLine);
// True when the code part of the line holds EndProcedure.
bool endsProcedure(TextView line);

// The calls of one line, found in one scan: every "(" with the name in front of it.
// It answers the keyword tests of a pass ("OPENWINDOW(#", "CREATEMENU(", ...) as
// FindNoCase would answer them on that line, without searching the line once per
// keyword. Keep it only as long as the line does not change.
class LineCalls {
 public:
  explicit LineCalls(TextView line);
  // The 1-based position of the first occurrence of keyword in the line, ignoring case,
  // or 0: keyword is letters and digits followed by "(" or "(#".
  std::size_t find(TextView keyword) const;
  // The same for an occurrence whose name is the whole name in front of the "(".
  std::size_t findWord(TextView keyword) const;

 private:
  std::size_t find(TextView keyword, bool whole) const;
  struct Call {
    std::size_t open;  // 0-based index of the "("
    TextView name;     // the letters, digits and "_" directly in front of it
  };
  void add(const Call& call);
  TextView line_;
  // Most lines hold a few calls: they are kept here, the rest of a long line in more_.
  Call first_[12];
  std::size_t count_ = 0;
  std::vector<Call> more_;
};

// Replaces every occurrence of find, searched ignoring case, by replacement as written.
Text replaceAllNoCase(TextView line, TextView find, TextView replacement);

// The text from position from up to, not including, position to (both 1-based);
// empty when to <= from.
Text textBetween(TextView line, std::size_t from, std::size_t to);
// The text from position from to the end of the line.
Text textFrom(TextView line, std::size_t from);

}  // namespace tarnwick
