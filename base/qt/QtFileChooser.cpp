#include "base/qt/QtFileChooser.h"

#include <QFileDialog>
#include <QStringList>

#include "base/qt/ExchangeHold.h"

namespace zorvik {
namespace {

QtFileChooser::Script*& ActiveScript()
{
    static QtFileChooser::Script* script = nullptr;
    return script;
}

std::optional<std::string> Scripted(const FileDialogRequest& request)
{
    auto* script = ActiveScript();
    script->asked.push_back(request);
    if (script->answers.empty())
        return std::nullopt;
    auto answer = script->answers.front();
    script->answers.pop_front();
    return answer;
}

std::optional<std::string> Run(QWidget* owner, const FileDialogRequest& request, QFileDialog::AcceptMode mode)
{
    const ExchangeHold::Lift answerable;
    QFileDialog dialog(owner, QString::fromStdString(request.title));
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setNameFilter(QtFileChooser::QtFilter(request.filter));
    dialog.setDefaultSuffix(QString::fromStdString(request.defaultExtension));
    // Qt asks before replacing an existing file in a save dialog.
    if (!request.proposedName.empty() && request.proposedName.find('*') == std::string::npos)
        dialog.selectFile(QString::fromStdString(request.proposedName));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().front().toStdString();
}

}  // namespace

void QtFileChooser::SetTestScript(Script* script)
{
    ActiveScript() = script;
}

QString QtFileChooser::QtFilter(const std::string& windowsFilter)
{
    const QStringList parts = QString::fromStdString(windowsFilter).split('|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        if (!parts[i].isEmpty())
            filters << parts[i];
    }
    return filters.join(";;");
}

std::optional<std::string> QtFileChooser::ChooseSave(const FileDialogRequest& request)
{
    if (ActiveScript())
        return Scripted(request);
    return Run(owner_, request, QFileDialog::AcceptSave);
}

std::optional<std::string> QtFileChooser::ChooseOpen(const FileDialogRequest& request)
{
    if (ActiveScript())
        return Scripted(request);
    return Run(owner_, request, QFileDialog::AcceptOpen);
}

}  // namespace zorvik
