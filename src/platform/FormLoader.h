// Window layouts as text, and the reader that builds components from them.
//
//   object frmMain: TfrmMain
//     Caption = 'Main'
//     Font.Style = [fsBold]
//     OnCreate = FormCreate
//     object Panel1: TPanel
//       Align = alTop
//       Items.Strings = ('one' 'two')
//       Panels = <
//         item
//           Width = 255
//         end>
//     end
//   end
//
// A component without a name is written "object TClass".
// Values: integers (12, -3, $FF), floats, strings ('it''s', #13, joined
// by +), identifiers (True, alClient, ImageList1, FormCreate), sets
// [a, b], lists ( ... ), collections < item ... end >, binary { hex }.
// Lines starting with // are comments.  No <windows.h>.
#pragma once

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "platform/Classes.h"
#include "platform/TypInfo.h"

namespace treskel {

struct FormObject {
    std::string name;
    std::string className;
    std::vector<FormValue::Assignment> props;
    std::vector<FormObject> children;
    int line = 0;
};

// Parses a layout; raises EReadError "<source>(<line>): <what>".
FormObject ParseLayout(const std::string& text, const std::string& source);

class LayoutReader {
public:
    LayoutReader(TComponent* root, std::string source);

    // Applies a parsed layout to `root` (whose class must be the layout's
    // or derive from it), creating every component in it.
    void Read(const FormObject& layout);

    TComponent* Root() const { return root_; }
    [[noreturn]] void Error(const std::string& what) const;
    void AddFixup(std::function<void(TComponent*)> apply, const std::string& name);

private:
    friend std::any typinfo::FindHandler(const FormValue& v, LayoutReader& r);
    void ReadProperties(TObject* obj, const std::vector<FormValue::Assignment>& props, const std::string& path);
    void SetProperty(TObject* obj, const FormValue::Assignment& a, const std::string& path);
    void CheckFieldsBound(const ClassInfo* rootInfo) const;
    void ReadChildren(TComponent* parent, const FormObject& fo, const std::string& path);
    void ReadCollection(TCollection* coll, const FormValue& v, const std::string& path);

    struct Fixup {
        std::function<void(TComponent*)> apply;
        std::string name;
        std::string where;
        int line;
    };
    TComponent* root_;
    std::string source_;
    int line_ = 0;
    std::string where_;
    std::vector<Fixup> fixups_;
    std::vector<TComponent*> loaded_;
    std::set<std::string> boundFields_;  // lower-case names of the fields set so far
};

// Finds "Form.Component", a component of another window that a layout
// refers to; null when there is none.  The forms install it.
using LayoutGlobalFinder = std::function<TComponent*(const std::string& name)>;
LayoutGlobalFinder& GlobalComponentFinder();

// Reads a layout text into `root`.
void ReadLayout(TComponent* root, const std::string& text, const std::string& source);

// Writes a component and what it holds as layout text (the published
// properties that differ from their defaults; older names never).
std::string WriteLayout(TComponent* root);

}  // namespace treskel
