// Checks a hand-written PowerBASIC header (Declares, equates, TYPEs,
// comments, #IF groups) against the procedures its DLL exports. Text in,
// findings out: no file is read here.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace codeloom {

struct ExportedProcedure {
  std::string file;         // the source file's name as findings show it
  size_t line = 0;          // 1-based line of the procedure's first line in that file
  size_t column = 0;        // 1-based column of its SUB/FUNCTION keyword
  std::string declaration;  // the Declare a generated DLL header holds for it, lines ending CR LF
};

enum class FindingLevel { Error, Warning };

struct AuditFinding {
  std::string file;
  size_t line = 0;
  size_t column = 0;
  FindingLevel level = FindingLevel::Error;
  std::string message;
};

enum class ProcedureKind { Sub, Function };
enum class CallingConvention { Sdecl, Cdecl, Bdecl };  // SDECL is the default

struct DeclaredParameter {
  bool optional = false;  // OPTIONAL or OPT
  bool byVal = false;     // BYREF is the default
  bool array = false;     // "name()"
  std::string type;       // capitals, single blanks ("STRING * 20"); empty when not given
};

// One branch of an #IF group. Groups are numbered from 1 in the order of
// their #IF lines; the #IF part is branch 1, each #ELSEIF or #ELSE the next.
struct IfBranch {
  size_t group = 0;
  size_t branch = 0;
};

struct ParsedDeclare {
  ProcedureKind kind = ProcedureKind::Sub;
  std::string name;  // without its type suffix
  // The name as written, any suffix included: in capitals, the entry point
  // when there is no ALIAS, as the header writer names it ("Halve#" gives HALVE#).
  std::string writtenName;
  bool hasLib = false;
  std::string lib;  // the LIB clause's file name
  std::optional<std::string> alias;
  CallingConvention convention = CallingConvention::Sdecl;
  std::vector<DeclaredParameter> parameters;
  std::string resultType;  // as a parameter's type; always empty for a SUB
  size_t line = 0;         // of the word DECLARE, 1-based
  size_t column = 0;
  std::vector<IfBranch> ifBranches;  // the #IF groups it stands in, outermost first
  // Why the statement cannot be read; empty when it can. An unreadable
  // Declare keeps its position and branches, hasLib when the word LIB
  // stands in it, and lib when a string follows that word.
  std::string problem;
};

// Every statement of the text whose first word is DECLARE, in text order,
// readable or not. Lines end at CR LF, CR or LF; a byte 0x1A ends the text;
// a "_" ending a line's code (before any comment) continues it.
std::vector<ParsedDeclare> parseDeclares(std::string_view text);

// One Declare statement, continuation lines included. nullopt when it
// cannot be read; problem, when given, then says why.
std::optional<ParsedDeclare> parseDeclareStatement(std::string_view statement,
                                                   std::string* problem = nullptr);

// The findings of the header's Declares that import from the DLL (all with
// a LIB clause when dllName is empty) against its exports: the header's in
// line order, then the exports' in their order. headerName is the header
// file's name as findings show it.
std::vector<AuditFinding> auditHeader(std::string_view headerName, std::string_view headerText,
                                      const std::vector<ExportedProcedure>& exports,
                                      std::string_view dllName);

// "FILE:LINE:COL: error: message" or "...: warning: message", no line end.
std::string formatFinding(const AuditFinding& finding);

}  // namespace codeloom
