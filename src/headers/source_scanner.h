// Turns one PowerBASIC source file into its section of a header: a banner
// naming the file, a Declare statement for every procedure marked Common or
// Export, and a copy of every interface definition without its bodies.
#pragma once

#include <functional>
#include <set>
#include <string>
#include <string_view>

namespace codeloom {

// Which header is being written; fixed for every file of one command.
//   Sll:     Export is removed, Common stays.
//   Dll:     an exported procedure gets Lib "export.dll" and an Alias with its
//            name in upper case unless it has them; Export and Common go.
//   Compile: declarations are written as they stand.
enum class HeaderMode { Sll, Dll, Compile };

// Lower-cased names of the interfaces already written by one command, so that
// an interface defined in several files is written once.
using InterfaceNames = std::set<std::string, std::less<>>;

// Appends the section of one file to header. bytes is the file's content (an
// unreadable file is passed as empty and still gets its banner); path names
// the file in the banner, which shows the part after its last "\".
void scanSourceFile(std::string& header, InterfaceNames& interfaceNames,
                    std::string_view path, std::string_view bytes, HeaderMode mode);

}  // namespace codeloom
