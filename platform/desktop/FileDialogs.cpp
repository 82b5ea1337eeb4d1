#include "FileDialogs.h"

#include <QFileDialog>

namespace {

FileDialogs::Presenter &presenter()
{
    static FileDialogs::Presenter current;
    return current;
}

} // namespace

FileDialogs::Result FileDialogs::show(const Request &request, QWidget *parent)
{
    if (presenter())
        return presenter()(request);
    return showWidget(request, parent);
}

FileDialogs::Presenter FileDialogs::setPresenter(Presenter replacement)
{
    return std::exchange(presenter(), std::move(replacement));
}

QStringList FileDialogs::nameFilters(const QString &filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString &description = parts.at(i);
        const QString patterns = parts.at(i + 1).split(QLatin1Char(';'), Qt::SkipEmptyParts).join(QLatin1Char(' '));
        // Qt takes the patterns from the description's closing parentheses;
        // when they already say what the pattern part says, nothing is added.
        if (description.endsWith(QLatin1Char('(') + patterns + QLatin1Char(')')))
            filters.append(description);
        else
            filters.append(description + QStringLiteral(" (") + patterns + QLatin1Char(')'));
    }
    return filters;
}

FileDialogs::Result FileDialogs::showWidget(const Request &request, QWidget *parent)
{
    QFileDialog dialog(parent, request.title);
    dialog.setAcceptMode(request.mode == Save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.mode == Save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    const QStringList filters = nameFilters(request.filter);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        if (request.filterIndex >= 1 && request.filterIndex <= filters.size())
            dialog.selectNameFilter(filters.at(request.filterIndex - 1));
    }
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);

    Result result;
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return result;
    result.cancelled = false;
    result.path = dialog.selectedFiles().constFirst();
    result.filterIndex = int(filters.indexOf(dialog.selectedNameFilter())) + 1;
    return result;
}
