// SPDX-License-Identifier: GPL-3.0-or-later
#include "ExamplesMenu.h"

#include "Text.h"

#include <QCoreApplication>

namespace taonscope {

std::vector<ExampleEntry> ShippedExamples() {
    const std::string programFolder = ToPath(QCoreApplication::applicationDirPath());
    return ListExamples(FirstExampleFolder(ExampleFolderCandidates(programFolder)));
}

void FillExamplesMenu(QMenu* menu, const std::vector<ExampleEntry>& examples,
                      const std::function<void(const std::string&)>& open) {
    menu->clear();
    for (const ExampleEntry& example : examples) {
        // Titles are plain text: an ampersand is shown, not taken as a mnemonic.
        QString caption = FromLocalText(example.Title);
        caption.replace(QLatin1Char('&'), QStringLiteral("&&"));
        QAction* action = menu->addAction(caption);
        QObject::connect(action, &QAction::triggered, menu, [open, path = example.Path] { open(path); });
    }
    menu->setEnabled(!examples.empty());
}

} // namespace taonscope
