#include "other_info.h"

#include "avi_info.h"
#include "core/global_state.h"
#include "core/translate.h"

#include <QLineEdit>
#include <QListWidget>
#include <QVBoxLayout>

namespace kestrova {

OtherInfo::OtherInfo(QWidget* parent) : QWidget(parent), InfoItems(new QListWidget(this)), TextItems(new QLineEdit(this)) {
    setObjectName(QStringLiteral("OtherInfo"));
    setWindowTitle(Translate(QStringLiteral("Other Information")));
    InfoItems->setObjectName(QStringLiteral("InfoItems"));
    TextItems->setObjectName(QStringLiteral("TextItems"));
    for (const char* item : AviInfoItems) InfoItems->addItem(Translate(QString::fromLatin1(item)));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(InfoItems);
    layout->addWidget(TextItems);
    connect(InfoItems, &QListWidget::currentRowChanged, this, &OtherInfo::itemChosen);
    // Every change is kept at once: the window has no OK or Cancel.
    connect(TextItems, &QLineEdit::textChanged, this, [this](const QString& text) {
        const int row = InfoItems->currentRow();
        if (row >= 0 && row < int(AviInfoItems.size())) Vars.AVIInfo[size_t(row)] = text;
    });
    InfoItems->setCurrentRow(0);
}

void OtherInfo::itemChosen(int index) {
    if (index < 0 || index >= int(AviInfoItems.size())) return;
    const QSignalBlocker quiet(TextItems);
    TextItems->setText(Vars.AVIInfo[size_t(index)]);
}

}  // namespace kestrova
