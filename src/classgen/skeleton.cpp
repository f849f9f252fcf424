#include "classgen/skeleton.h"

#include "classgen/member_spec.h"

namespace codeloom {
namespace {

// Collects lines, each ended by CR LF.
class Lines {
 public:
  template <typename... Pieces>
  void add(const Pieces&... pieces) {
    (text_.append(pieces), ...);
    text_ += "\r\n";
  }
  void blank() { text_ += "\r\n"; }
  std::string take() { return std::move(text_); }

 private:
  std::string text_;
};

// Each pass over a member text parses its items afresh; an empty text has
// no members at all (not one empty item).
template <typename Visit>
void forEachMember(std::string_view text, bool isMethod, Visit visit) {
  if (text.empty()) return;
  for (const std::string& item : splitMemberList(text)) visit(parseMemberItem(item, isMethod));
}

template <typename Visit>
void forEachProperty(std::string_view properties, Visit visit) {
  forEachMember(properties, false, visit);
}

template <typename Visit>
void forEachMethod(std::string_view methods, Visit visit) {
  forEachMember(methods, true, visit);
}

void addFactoryFunction(Lines& out, std::string_view n) {
  out.add("Function New", n, "() Common Export As i", n);
  out.add("  Local obj As i", n);
  out.add("  obj = Class \"c", n, "\"");
  out.add("  Function = obj");
  out.add("End Function");
  out.blank();
}

void addInstanceSection(Lines& out, std::string_view properties) {
  if (properties.empty()) return;
  forEachProperty(properties, [&](const MemberSpec& m) {
    out.add("  Instance ", m.varName, " As ", m.typeName, m.indexed ? "()" : "");
  });
  out.blank();
}

void addBridgeInstances(Lines& out) {
  out.add("  Instance hWnd_ As Dword:            ' Handle to window");
  out.add("  Instance bridge_ As iMessageBridge: ' Message bridge");
  out.blank();
}

void addCreateAndDestroy(Lines& out, std::string_view properties) {
  out.add("  Class Method Create()");
  forEachProperty(properties, [&](const MemberSpec& m) {
    if (m.indexed) out.add("    ReDim ", m.varName, "(2)");
  });
  out.add("  End Method");
  out.add("  Class Method Destroy()");
  out.add("  End Method");
  out.blank();
}

void addSetWindowMethod(Lines& out) {
  out.add("    Method SetWindow( hParent As Dword, ByVal l As Long, ByVal t As Long, "
          "ByVal w As Long, ByVal h As Long )");
  out.add("      Dim vmsg As iMessage: ' This function belongs in the Create method, but PB "
          "doesn't support parameterized constructors");
  out.blank();
  out.add("      hWnd_ = Me.CreateChildWindow( hParent, l, t, w, h ): ' Implementation Specific");
  out.add("      vmsg = Me");
  out.add("      bridge_ = NewMessageBridge( vmsg ): ' hWnd needs to be valid before this is "
          "called");
  out.add("    End Method");
}

void addPropertyBlocks(Lines& out, std::string_view properties) {
  forEachProperty(properties, [&](const MemberSpec& m) {
    const std::string index = m.indexed ? "ByVal index As Long" : "";
    const std::string sub = m.indexed ? "(index)" : "";
    const std::string boundsCheck = "      If index<LBound( " + m.varName + "() ) Or index>UBound( " +
                                    m.varName + "() ) Then Exit Property";
    out.blank();
    if (m.hasGet) {
      out.add("    Property Get ", m.name, "(", index, ") As ", m.typeName);
      if (m.indexed) out.add(boundsCheck);
      out.add("      Property = ", m.varName, sub);
      out.add("    End Property");
    }
    if (m.setKind != SetKind::SetNone) {
      out.add("    Property Set ", m.name, "( ", m.indexed ? "ByVal index As Long, " : "",
              isByValType(m.typeName) ? "ByVal " : "", "value As ", m.typeName, " )");
      if (m.indexed) out.add(boundsCheck);
      if (m.setKind == SetKind::SetIfChanged) {
        out.add("      If ", m.varName, sub, " <> value Then");
        out.add("        ", m.varName, sub, " = value");
        out.add("      End If");
      } else {
        out.add("      ", m.varName, sub, " = value");
      }
      out.add("    End Property");
    }
  });
}

void addMethodBlocks(Lines& out, std::string_view methods) {
  forEachMethod(methods, [&](const MemberSpec& m) {
    out.blank();
    out.add("    Method ", m.name, "()", m.typeName.empty() ? "" : " As ", m.typeName);
    out.add("    End Method");
  });
}

void addMessageInterface(Lines& out) {
  out.blank();
  out.add("  Interface iMessage Guid$(\"", kMessageInterfaceGuid, "\")");
  out.add("    Inherit IUnknown");
  out.blank();
  out.add("    Property Get HWnd() As Long");
  out.add("      Property = hWnd_: ' Return window handle");
  out.add("    End Property");
  out.blank();
  out.add("    Method Proc( ByVal wMsg As Dword, ByVal wParam As Long, ByVal lParam As Long, "
          "ByRef ret As Long) As Long");
  out.add("      Method = -1: ' Default to handled, ret is already 0");
  out.add("      Select Case wMsg");
  out.add("        'TODO: Add message handling");
  out.add("      End Select");
  out.add("      Method = 0: ' If we exit this way, we didn't handle message");
  out.add("    End Method");
  out.add("  End Interface");
}

}  // namespace

std::string buildSkeleton(SkeletonKind kind, std::string_view n, std::string_view properties,
                          std::string_view methods, bool messages, const GuidSource& newGuid) {
  const bool isClass = kind == SkeletonKind::Class;
  // The first GUID is made before any line: the class's, or the interface's.
  const std::string firstGuid = newGuid();
  Lines out;
  if (isClass) {
    addFactoryFunction(out, n);
    out.add("Class c", n, " GUID$(\"", firstGuid, "\") Common");
  }
  addInstanceSection(out, properties);
  if (messages) addBridgeInstances(out);
  std::string interfaceGuid = firstGuid;
  if (isClass) {
    addCreateAndDestroy(out, properties);
    interfaceGuid = newGuid();
  }
  out.add("  Interface i", n, " GUID$(\"", interfaceGuid, "\")");
  out.add("    Inherit IUnknown");
  if (messages) addSetWindowMethod(out);
  addPropertyBlocks(out, properties);
  addMethodBlocks(out, methods);
  out.add("  End Interface");
  if (messages) addMessageInterface(out);
  out.add("End Class");
  return out.take();
}

}  // namespace codeloom
