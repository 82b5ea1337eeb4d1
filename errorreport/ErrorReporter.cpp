#include "ErrorReporter.h"

#include "AppFolders.h"
#include "Guard.h"
#include "KSErrorForm.h"

#include <QApplication>
#include <QFileInfo>

#include <dlfcn.h>

ErrorReporter::ErrorReporter(QString programName, QString folder)
    : m_programName(std::move(programName))
    , m_folder(std::move(folder))
{}

ErrorReporter ErrorReporter::forApplication()
{
    // The application's title (the executable's name unless the program set one).
    return ErrorReporter(QCoreApplication::applicationName(), AppFolders::current().dataFolder());
}

ErrorReporter ErrorReporter::forLibraryContaining(const void *address)
{
    Dl_info info = {};
    if (!dladdr(address, &info) || !info.dli_fname)
        return forApplication();
    const QFileInfo library(QString::fromLocal8Bit(info.dli_fname));
    return ErrorReporter(library.completeBaseName(), AppFolders::current().writableFolderFor(library.absolutePath()));
}

void ErrorReporter::ShowError(const AutomationError &oErr, const QString &sSourceName, bool bSaveLog) const
{
    KSErrorForm form(m_programName, m_folder, QApplication::activeWindow());
    form.Prepare(oErr, sSourceName, bSaveLog);
    form.exec();
}

void ErrorReporter::installAsReportHook() const
{
    const ErrorReporter reporter = *this;
    Guard::setReportHook([reporter](const AutomationError &error, const QString &sourceName) {
        reporter.ShowError(error, sourceName, false);
    });
}
