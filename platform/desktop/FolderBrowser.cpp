#include "FolderBrowser.h"

#include <QDir>
#include <QFileDialog>
#include <QWidget>

namespace {

FolderBrowser::Presenter &presenter()
{
    static FolderBrowser::Presenter current;
    return current;
}

} // namespace

QString FolderBrowser::browse(quint64 owner, const QString &title)
{
    const Request request {owner, title};
    if (presenter())
        return presenter()(request);
    return showWidget(request);
}

FolderBrowser::Presenter FolderBrowser::setPresenter(Presenter replacement)
{
    return std::exchange(presenter(), std::move(replacement));
}

QString FolderBrowser::showWidget(const Request &request)
{
    QWidget *owner = request.owner != 0 ? QWidget::find(WId(request.owner)) : nullptr;
    if (owner)
        owner = owner->window();
    QFileDialog dialog(owner, request.title);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    // Without a trailing separator, so callers that join "/" and a name get one separator.
    return QDir::cleanPath(dialog.selectedFiles().constFirst());
}
