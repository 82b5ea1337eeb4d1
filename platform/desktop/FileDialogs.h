#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

/**
 * The common open and save dialogs, modal, with a proposed name and a list of
 * named patterns of which one is preselected. The list comes in the
 * dialogs' classic form, description and pattern alternating, separated by
 * "|" (several patterns of one entry separated by ";"):
 *
 *     FileDialogs::Request request;
 *     request.mode = FileDialogs::Save;
 *     request.fileName = QStringLiteral("debug");
 *     request.filter = QStringLiteral("Plain Text File(*.txt)|*.txt|Ritch Text File(*.rtf)|*.rtf");
 *     request.filterIndex = 1;
 *     const FileDialogs::Result chosen = FileDialogs::show(request, window);
 *     if (!chosen.cancelled) ... chosen.path, chosen.filterIndex ...
 *
 * A cancel is reported as a cancel, never as an empty name. Neither dialog
 * asks before an existing file is overwritten. Tests answer the dialogs
 * without a window by installing a presenter (see setPresenter()).
 */
class FileDialogs
{
public:
    enum Mode {
        Open,
        Save
    };

    struct Request
    {
        Mode mode = Open;
        QString title;
        QString fileName;
        QString filter;
        /// 1-based entry of the filter list shown first.
        int filterIndex = 1;
    };

    struct Result
    {
        bool cancelled = true;
        QString path;
        /// 1-based entry of the filter list selected when the user chose.
        int filterIndex = 0;
    };

    using Presenter = std::function<Result(const Request &request)>;

    static Result show(const Request &request, QWidget *parent = nullptr);
    /// Replaces what show() does (an empty presenter restores the real
    /// dialogs); returns the previous presenter.
    static Presenter setPresenter(Presenter presenter);
    /// The real dialog: what show() uses without a presenter.
    static Result showWidget(const Request &request, QWidget *parent = nullptr);

    /// The classic filter text as the name filters of a Qt file dialog, one
    /// per entry ("Plain Text File(*.txt)" stays as it is, "Logs|*.log;*.txt"
    /// becomes "Logs (*.log *.txt)"). A trailing description without a
    /// pattern is dropped.
    static QStringList nameFilters(const QString &filter);
};
