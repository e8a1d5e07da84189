// What a screen reader learns about each field: its caption, whether it is read-only,
// and the order in which captions and values are walked.
#include <QAccessible>
#include <QDialog>
#include <QLabel>
#include <QStackedWidget>
#include <QTabWidget>
#include <algorithm>
#include <functional>
#include <span>

#include "res/ControlIds.h"
#include "res/DialogTemplates.h"
#include "res/Messages.h"
#include "tests/ui/GuiTestBase.h"
#include "tests/ui/qt/QtWidgets.h"
#include "ui/platform/qt/Resources.h"

namespace quellhart::test {
namespace {

using ui::ControlKind;
using ui::ControlTemplate;
using ui::DialogTemplate;

struct CaptionPair {
    const char* caption;
    int control;
};

// Every field with a caption, as a user reads the windows.
const CaptionPair kMainPairs[] = {{"Active File:", IDC_ACTIVE_FILE}};
const CaptionPair kPlayerPairs[] = {{"Player Data Raw Address:", IDC_PLAYER_RAW_ADDRESS},
                                    {"Name", IDC_PLAYER_NAME},
                                    {"Race", IDC_PLAYER_RACE},
                                    {"Class", IDC_PLAYER_CLASS},
                                    {"Head Model", IDC_PLAYER_HEAD},
                                    {"Hair Model", IDC_PLAYER_HAIR}};
const CaptionPair kGlobalPairs[] = {{"Number of variables found:", IDC_GLOB_COUNT},
                                    {"SelectVar", IDC_GLOB_LIST},
                                    {"GLOB raw address in file:", IDC_GLOB_RAW_ADDRESS},
                                    {"char unk1[12]", IDC_GLOB_UNK1},
                                    {"NameLen (dec)", IDC_GLOB_NAME_LEN},
                                    {"Name", IDC_GLOB_NAME},
                                    {"fnamLen (dec)", IDC_GLOB_FNAM_LEN},
                                    {"fnam (hex)", IDC_GLOB_FNAM},
                                    {"Value Len (dec)", IDC_GLOB_VALUE_LEN},
                                    {"Value (Raw)", IDC_GLOB_VALUE_RAW},
                                    {"Value (float)", IDC_GLOB_VALUE}};

const ControlTemplate& Find(const DialogTemplate& t,
                            const std::function<bool(const ControlTemplate&)>& match) {
    const auto it = std::find_if(t.controls.begin(), t.controls.end(), match);
    EXPECT_NE(it, t.controls.end()) << t.caption;
    return it == t.controls.end() ? t.controls.front() : *it;
}

// The template names each caption's control, and the layout agrees: the caption
// stands on the control's row to its left, or (the active file) right above it.
void ExpectCaptionsInTemplate(const DialogTemplate& t, std::span<const CaptionPair> pairs) {
    size_t named = 0;
    for (const ControlTemplate& c : t.controls) named += c.labelFor != 0;
    EXPECT_EQ(named, pairs.size()) << t.caption;
    for (const CaptionPair& pair : pairs) {
        const ControlTemplate& caption = Find(t, [&](const ControlTemplate& c) {
            return c.kind == ControlKind::Static && c.text == pair.caption;
        });
        const ControlTemplate& control =
            Find(t, [&](const ControlTemplate& c) { return c.id == pair.control; });
        EXPECT_EQ(caption.labelFor, pair.control) << pair.caption;
        const int middle = caption.y + caption.height / 2;
        const bool leftOnItsRow = caption.x + caption.width <= control.x && middle >= control.y &&
                                  middle <= control.y + 15;
        const bool rightAbove = caption.y + caption.height <= control.y && caption.x >= control.x &&
                                caption.x < control.x + control.width;
        EXPECT_TRUE(leftOnItsRow || rightAbove) << pair.caption;
    }
}

TEST(AccessibleTemplates, EveryCaptionNamesTheControlBesideIt) {
    ExpectCaptionsInTemplate(res::MainTemplate(), kMainPairs);
    ExpectCaptionsInTemplate(res::PlayerPageTemplate(), kPlayerPairs);
    ExpectCaptionsInTemplate(res::GlobalsPageTemplate(), kGlobalPairs);
}

class AccessibilityTest : public GuiTest {
protected:
    AccessibilityTest() { ClickOpen(WriteSave(StandardSave())); }

    static QAccessibleInterface* Accessible(QWidget* widget) {
        return QAccessible::queryAccessibleInterface(widget);
    }
    static std::string Name(QAccessibleInterface* a) {
        return a->text(QAccessible::Name).toStdString();
    }

    // What a screen reader says of each field: its caption as name, or for a list
    // that cannot be typed into, its entry as name and its caption as description.
    // Walking the window gives the caption right before its field.
    void ExpectCaptionsSpoken(ui::CDialogBase& window, std::span<const CaptionPair> pairs) {
        for (const CaptionPair& pair : pairs) {
            QWidget* control = Widget(window, pair.control);
            ASSERT_NE(control, nullptr) << pair.caption;
            QAccessibleInterface* a = Accessible(control);
            const auto* list = qobject_cast<QComboBox*>(control);
            if (list && !list->isEditable()) {
                EXPECT_EQ(a->text(QAccessible::Description).toStdString().rfind(pair.caption, 0),
                          0u)
                    << pair.caption;
            } else {
                // Qt reports the caption as the Label relation of the field it names.
                const auto labels = a->relations(QAccessible::Label | QAccessible::Labelled);
                EXPECT_EQ(labels.size(), 1) << pair.caption;
                for (const auto& [label, relation] : labels) EXPECT_EQ(Name(label), pair.caption);
                if (qobject_cast<QLineEdit*>(control)) {
                    EXPECT_EQ(Name(a), pair.caption);
                }
            }
            QAccessibleInterface* parent = a->parent();
            const int at = parent->indexOfChild(a);
            ASSERT_GT(at, 0) << pair.caption;
            EXPECT_EQ(Name(parent->child(at - 1)), pair.caption)
                << "walked before " << pair.control;
            // Tied to its field: a caption standing alone is read out with the window's
            // name before every announcement made in the window.
            EXPECT_FALSE(parent->child(at - 1)->relations().isEmpty()) << pair.caption;
        }
    }
};

TEST_F(AccessibilityTest, EveryFieldIsAnnouncedByItsCaption) {
    ExpectCaptionsSpoken(main, kMainPairs);
    ExpectCaptionsSpoken(Held(main).PlayerPage(), kPlayerPairs);
    ShowPage(1);
    ExpectCaptionsSpoken(Held(main).GlobPage(), kGlobalPairs);
}

TEST_F(AccessibilityTest, ValuesKeepTheirTextAndReadOnlyFieldsSayTheyAre) {
    ShowPage(1);
    // A value label is announced by its value, tied to its caption.
    EXPECT_EQ(Name(Accessible(Widget(Held(main).GlobPage(), IDC_GLOB_COUNT))), "3");
    EXPECT_EQ(Name(Accessible(Widget(main, IDC_ACTIVE_FILE))), Label());
    for (const int id : {IDC_GLOB_FNAM, IDC_GLOB_FNAM_LEN, IDC_GLOB_NAME, IDC_GLOB_UNK1,
                         IDC_GLOB_NAME_LEN, IDC_GLOB_VALUE_LEN, IDC_GLOB_VALUE_RAW})
        EXPECT_TRUE(Accessible(Widget(Held(main).GlobPage(), id))->state().readOnly) << id;
    EXPECT_FALSE(Accessible(Widget(Held(main).GlobPage(), IDC_GLOB_VALUE))->state().readOnly);
    // The list still says which variable is chosen, and carries every stored field of
    // it and the count, which have no Tab stop, for a screen reader to read on request.
    QAccessibleInterface* list = Accessible(Widget(Held(main).GlobPage(), IDC_GLOB_LIST));
    EXPECT_EQ(Name(list), Text(Held(main).GlobPage(), IDC_GLOB_LIST));
    const std::string described = list->text(QAccessible::Description).toStdString();
    for (const int id :
         {IDC_GLOB_RAW_ADDRESS, IDC_GLOB_UNK1, IDC_GLOB_NAME_LEN, IDC_GLOB_NAME, IDC_GLOB_FNAM_LEN,
          IDC_GLOB_FNAM, IDC_GLOB_VALUE_LEN, IDC_GLOB_VALUE_RAW, IDC_GLOB_VALUE}) {
        std::string value = Text(Held(main).GlobPage(), id);
        while (!value.empty() && value.back() == ' ') value.pop_back();
        EXPECT_NE(described.find(": " + value), std::string::npos) << id << " " << described;
    }
    EXPECT_NE(described.find("Value (float): "), std::string::npos) << described;
    // And the count of variables, which is no Tab stop either.
    EXPECT_NE(described.find(". Number of variables found: 3. "), std::string::npos) << described;
    // Tab still goes through the fields in the template's order.
    QWidget* next = Widget(Held(main).PlayerPage(), IDC_PLAYER_NAME);
    const QWidget* host = next->parentWidget();
    std::vector<QWidget*> tabOrder;
    for (int i = 0; i < 4; ++i) {
        // The page's own fields, not the line edit inside an editable list.
        do next = next->nextInFocusChain();
        while (!(next->focusPolicy() & Qt::TabFocus) || next->parentWidget() != host);
        tabOrder.push_back(next);
    }
    const std::vector<QWidget*> expected = {Widget(Held(main).PlayerPage(), IDC_PLAYER_RACE),
                                            Widget(Held(main).PlayerPage(), IDC_PLAYER_CLASS),
                                            Widget(Held(main).PlayerPage(), IDC_PLAYER_HEAD),
                                            Widget(Held(main).PlayerPage(), IDC_PLAYER_HAIR)};
    EXPECT_EQ(tabOrder, expected);
}

TEST_F(AccessibilityTest, PicturesAndPagesHaveShortNames) {
    const auto* sheet = DialogOf(main)->findChild<QTabWidget*>();
    ASSERT_NE(sheet, nullptr);
    // The pages' frame is no "layered pane" to a screen reader.
    const auto* stack = sheet->findChild<QStackedWidget*>();
    ASSERT_NE(stack, nullptr);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(const_cast<QStackedWidget*>(stack))->role(),
              QAccessible::Client);
    EXPECT_EQ(sheet->widget(0)->accessibleName().toStdString(), "Player Data");
    EXPECT_EQ(sheet->widget(1)->accessibleName().toStdString(), "Global Variables");
    bool pictureNamed = false;
    for (const QLabel* label : DialogOf(main)->findChildren<QLabel*>())
        pictureNamed |=
            !label->pixmap().isNull() && label->accessibleName() == messages::kBitmapAccessibleName;
    EXPECT_TRUE(pictureNamed);
}

}  // namespace
}  // namespace quellhart::test
