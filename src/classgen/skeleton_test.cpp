#include "classgen/skeleton.h"

#include <gtest/gtest.h>

namespace codeloom {
namespace {

constexpr const char* kG1 = "{11111111-1111-1111-1111-111111111111}";
constexpr const char* kG2 = "{22222222-2222-2222-2222-222222222222}";

// Hands out G1, G2, then "{more}", counting the calls.
struct FixedGuids {
  int calls = 0;
  GuidSource source() {
    return [this] {
      ++calls;
      return calls == 1 ? kG1 : calls == 2 ? kG2 : "{more}";
    };
  }
};

// The listings below are written with "\n"; the skeleton ends lines with CR LF.
std::string crlf(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

std::string build(SkeletonKind kind, std::string_view n, std::string_view p, std::string_view m,
                  bool messages, int expectedGuids) {
  FixedGuids guids;
  std::string text = buildSkeleton(kind, n, p, m, messages, guids.source());
  EXPECT_EQ(expectedGuids, guids.calls);
  return text;
}

enum class Messages { Off, On };

std::string buildClass(std::string_view n, std::string_view p, std::string_view m,
                       Messages messages = Messages::Off) {
  return build(SkeletonKind::Class, n, p, m, messages == Messages::On, 2);
}

std::string buildInterface(std::string_view n, std::string_view p, std::string_view m,
                           Messages messages = Messages::Off) {
  return build(SkeletonKind::Interface, n, p, m, messages == Messages::On, 1);
}

constexpr const char* kSetWindow =
    "    Method SetWindow( hParent As Dword, ByVal l As Long, ByVal t As Long, ByVal w As Long, ByVal h As Long )\n"
    "      Dim vmsg As iMessage: ' This function belongs in the Create method, but PB doesn't support parameterized constructors\n"
    "\n"
    "      hWnd_ = Me.CreateChildWindow( hParent, l, t, w, h ): ' Implementation Specific\n"
    "      vmsg = Me\n"
    "      bridge_ = NewMessageBridge( vmsg ): ' hWnd needs to be valid before this is called\n"
    "    End Method\n";

constexpr const char* kMessageInterface =
    "\n"
    "  Interface iMessage Guid$(\"{2e0e23cf-6e19-4a88-a33c-2cca8397778f}\")\n"
    "    Inherit IUnknown\n"
    "\n"
    "    Property Get HWnd() As Long\n"
    "      Property = hWnd_: ' Return window handle\n"
    "    End Property\n"
    "\n"
    "    Method Proc( ByVal wMsg As Dword, ByVal wParam As Long, ByVal lParam As Long, ByRef ret As Long) As Long\n"
    "      Method = -1: ' Default to handled, ret is already 0\n"
    "      Select Case wMsg\n"
    "        'TODO: Add message handling\n"
    "      End Select\n"
    "      Method = 0: ' If we exit this way, we didn't handle message\n"
    "    End Method\n"
    "  End Interface\n";

constexpr const char* kBridgeInstances =
    "  Instance hWnd_ As Dword:            ' Handle to window\n"
    "  Instance bridge_ As iMessageBridge: ' Message bridge\n"
    "\n";

TEST(Skeleton, ClassWorkedExample) {
  EXPECT_EQ(crlf(R"(Function NewShape() Common Export As iShape
  Local obj As iShape
  obj = Class "cShape"
  Function = obj
End Function

Class cShape GUID$("{11111111-1111-1111-1111-111111111111}") Common
  Instance width_ As Long
  Instance code_ As Double
  Instance title_ As String
  Instance item_ As iTest()

  Class Method Create()
    ReDim item_(2)
  End Method
  Class Method Destroy()
  End Method

  Interface iShape GUID$("{22222222-2222-2222-2222-222222222222}")
    Inherit IUnknown

    Property Get Width() As Long
      Property = width_
    End Property

    Property Set Code( ByVal value As Double )
      code_ = value
    End Property

    Property Get Title() As String
      Property = title_
    End Property
    Property Set Title( value As String )
      If title_ <> value Then
        title_ = value
      End If
    End Property

    Property Get Item(ByVal index As Long) As iTest
      If index<LBound( item_() ) Or index>UBound( item_() ) Then Exit Property
      Property = item_(index)
    End Property
    Property Set Item( ByVal index As Long, value As iTest )
      If index<LBound( item_() ) Or index>UBound( item_() ) Then Exit Property
      item_(index) = value
    End Property

    Method Refresh()
    End Method

    Method Count() As Long
    End Method
  End Interface
End Class
)"),
            buildClass("Shape", "[Width:Long,]Code:Double,.Title,Item:iTest()", "Refresh,Count:Long"));
}

TEST(Skeleton, InterfaceWorkedExampleWithMessages) {
  EXPECT_EQ(crlf(std::string(R"(  Instance width_ As Long

  Instance hWnd_ As Dword:            ' Handle to window
  Instance bridge_ As iMessageBridge: ' Message bridge

  Interface iShape GUID$("{11111111-1111-1111-1111-111111111111}")
    Inherit IUnknown
)") + kSetWindow + R"(
    Property Get Width() As Long
      Property = width_
    End Property

    Method Draw()
    End Method
  End Interface
)" + kMessageInterface + "End Class\n"),
            buildInterface("Shape", "[Width:Long", "Draw", Messages::On));
}

TEST(Skeleton, BridgeCommentsStandInColumn39) {
  std::string first = "  Instance hWnd_ As Dword:            ' Handle to window";
  std::string second = "  Instance bridge_ As iMessageBridge: ' Message bridge";
  EXPECT_EQ(38u, first.find('\''));
  EXPECT_EQ(38u, second.find('\''));
  EXPECT_NE(std::string::npos, buildClass("S", "", "", Messages::On).find(crlf(kBridgeInstances)));
}

TEST(Skeleton, ClassWithoutMembers) {
  EXPECT_EQ(crlf(R"(Function NewS() Common Export As iS
  Local obj As iS
  obj = Class "cS"
  Function = obj
End Function

Class cS GUID$("{11111111-1111-1111-1111-111111111111}") Common
  Class Method Create()
  End Method
  Class Method Destroy()
  End Method

  Interface iS GUID$("{22222222-2222-2222-2222-222222222222}")
    Inherit IUnknown
  End Interface
End Class
)"),
            buildClass("S", "", ""));
}

TEST(Skeleton, ClassWithMessagesAndNoProperties) {
  EXPECT_EQ(crlf(std::string(R"(Function NewS() Common Export As iS
  Local obj As iS
  obj = Class "cS"
  Function = obj
End Function

Class cS GUID$("{11111111-1111-1111-1111-111111111111}") Common
)") + kBridgeInstances + R"(  Class Method Create()
  End Method
  Class Method Destroy()
  End Method

  Interface iS GUID$("{22222222-2222-2222-2222-222222222222}")
    Inherit IUnknown
)" + kSetWindow + "  End Interface\n" + kMessageInterface + "End Class\n"),
            buildClass("S", "", "", Messages::On));
}

TEST(Skeleton, ClassWithMessagesPutsBridgeAfterInstancesAndSetWindowFirst) {
  EXPECT_EQ(crlf(std::string(R"(Function NewS() Common Export As iS
  Local obj As iS
  obj = Class "cS"
  Function = obj
End Function

Class cS GUID$("{11111111-1111-1111-1111-111111111111}") Common
  Instance list_ As Long()

)") + kBridgeInstances + R"(  Class Method Create()
    ReDim list_(2)
  End Method
  Class Method Destroy()
  End Method

  Interface iS GUID$("{22222222-2222-2222-2222-222222222222}")
    Inherit IUnknown
)" + kSetWindow + R"(
    Property Get List(ByVal index As Long) As Long
      If index<LBound( list_() ) Or index>UBound( list_() ) Then Exit Property
      Property = list_(index)
    End Property

    Method Go()
    End Method
  End Interface
)" + kMessageInterface + "End Class\n"),
            buildClass("S", "[List():Long()", "Go", Messages::On));
}

TEST(Skeleton, InterfaceWithoutMembersIsFourLines) {
  EXPECT_EQ(crlf(R"(  Interface iS GUID$("{11111111-1111-1111-1111-111111111111}")
    Inherit IUnknown
  End Interface
End Class
)"),
            buildInterface("S", "", ""));
}

TEST(Skeleton, InterfaceWithMessagesAndNoPropertiesStartsWithBridge) {
  EXPECT_EQ(crlf(std::string(kBridgeInstances) +
                 R"(  Interface iS GUID$("{11111111-1111-1111-1111-111111111111}")
    Inherit IUnknown
)" + kSetWindow + "  End Interface\n" + kMessageInterface + "End Class\n"),
            buildInterface("S", "", "", Messages::On));
}

TEST(Skeleton, InterfaceNeverHasClassParts) {
  std::string text = buildInterface("Shape", "Item(),.Name", "Go", Messages::On);
  for (const char* part : {"Function New", "Class c", "  Class Method Create()",
                           "  Class Method Destroy()", "ReDim"})
    EXPECT_EQ(std::string::npos, text.find(part)) << part;
  EXPECT_TRUE(text.ends_with("\r\nEnd Class\r\n"));
}

TEST(Skeleton, IndexedSetIfChangedStringProperty) {
  std::string text = buildInterface("S", ".Item()", "");
  EXPECT_NE(std::string::npos, text.find(crlf(R"(
    Property Get Item(ByVal index As Long) As String
      If index<LBound( item_() ) Or index>UBound( item_() ) Then Exit Property
      Property = item_(index)
    End Property
    Property Set Item( ByVal index As Long, value As String )
      If index<LBound( item_() ) Or index>UBound( item_() ) Then Exit Property
      If item_(index) <> value Then
        item_(index) = value
      End If
    End Property
  End Interface
)")));
}

TEST(Skeleton, SetterValueIsByValOnlyForListedTypes) {
  struct Case { const char* item; const char* setLine; };
  const Case cases[] = {
      {"A:Long", "    Property Set A( ByVal value As Long )"},
      {"A:ext", "    Property Set A( ByVal value As ext )"},
      {"A:QUAD", "    Property Set A( ByVal value As QUAD )"},
      {"A", "    Property Set A( value As String )"},
      {"A:iTest", "    Property Set A( value As iTest )"},
      {"A:Single", "    Property Set A( value As Single )"},
      {"A:Long()", "    Property Set A( ByVal index As Long, ByVal value As Long )"},
      {"A:", "    Property Set A( value As  )"},
  };
  for (const Case& c : cases)
    EXPECT_NE(std::string::npos, buildInterface("S", c.item, "").find(std::string(c.setLine) + "\r\n"))
        << c.item;
}

TEST(Skeleton, WriteOnlyPropertyKeepsInstanceButHasNoGet) {
  EXPECT_EQ(crlf(R"(  Instance code_ As Double

  Interface iS GUID$("{11111111-1111-1111-1111-111111111111}")
    Inherit IUnknown

    Property Set Code( ByVal value As Double )
      code_ = value
    End Property
  End Interface
End Class
)"),
            buildInterface("S", "]Code:Double", ""));
}

TEST(Skeleton, EmptyItemsStillMakeMembers) {
  // A trailing comma is an empty property: a String named "" backed by "_".
  EXPECT_EQ(crlf(R"(  Instance a_ As String
  Instance _ As String

  Interface iS GUID$("{11111111-1111-1111-1111-111111111111}")
    Inherit IUnknown

    Property Get A() As String
      Property = a_
    End Property
    Property Set A( value As String )
      a_ = value
    End Property

    Property Get () As String
      Property = _
    End Property
    Property Set ( value As String )
      _ = value
    End Property

    Method Go()
    End Method

    Method ()
    End Method
  End Interface
End Class
)"),
            buildInterface("S", "A,", "Go,"));
}

TEST(Skeleton, CreateHoldsOneReDimPerIndexedProperty) {
  std::string text = buildClass("S", "A(),B,[C:Long()", "");
  EXPECT_NE(std::string::npos,
            text.find("  Class Method Create()\r\n    ReDim a_(2)\r\n    ReDim c_(2)\r\n  End Method\r\n"));
}

}  // namespace
}  // namespace codeloom
