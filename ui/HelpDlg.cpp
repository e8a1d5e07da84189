#include "ui/HelpDlg.h"

#include <QDialogButtonBox>
#include <QKeySequence>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "platform/Resources.h"
#include "res/Messages.h"
#include "ui/EditorKeys.h"

namespace quellhart::ui {

namespace {

// The help text as shown, with the table of keys filled in.
QString HelpHtml() {
    QString keys = QStringLiteral("<table>");
    for (const EditorKey& key : kEditorKeys)
        keys += QStringLiteral("<tr><td><b>%1</b>&nbsp;&nbsp;</td><td>%2</td></tr>")
                    .arg(QKeySequence(QString::fromLatin1(key.keys))
                             .toString(QKeySequence::NativeText)
                             .toHtmlEscaped(),
                         QString::fromLatin1(key.description).toHtmlEscaped());
    keys += QStringLiteral("</table>");
    return LoadHelpText().replace(QStringLiteral("%KEYS%"), keys);
}

}  // namespace

CHelpDlg::CHelpDlg(QWidget* parent, std::function<void()> onAbout, std::function<void()> onRestore)
    : QDialog(parent) {
    setWindowTitle(QString::fromUtf8(messages::kHelpCaption));
    auto* text = new QTextBrowser(this);
    text->setHtml(HelpHtml());
    text->setOpenLinks(false);
    text->setAccessibleName(QString::fromUtf8(messages::kHelpCaption));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    QPushButton* about =
        buttons->addButton(QStringLiteral("About..."), QDialogButtonBox::ActionRole);
    QPushButton* restore =
        buttons->addButton(QStringLiteral("Restore backup..."), QDialogButtonBox::ActionRole);
    about->setObjectName(QStringLiteral("about"));
    restore->setObjectName(QStringLiteral("restoreBackup"));
    connect(about, &QPushButton::clicked, this, std::move(onAbout));
    connect(restore, &QPushButton::clicked, this, std::move(onRestore));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addWidget(buttons);
    resize(540, 560);
}

}  // namespace quellhart::ui
