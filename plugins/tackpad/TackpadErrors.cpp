#include "TackpadErrors.h"

#include "ErrorReporter.h"

namespace {

TackpadErrors::Presenter &presenter()
{
    static TackpadErrors::Presenter current;
    return current;
}

} // namespace

void TackpadErrors::show(const AutomationError &error, const QString &sourceName)
{
    if (presenter()) {
        presenter()(error, sourceName);
        return;
    }
    ErrorReporter::forLibraryContaining(reinterpret_cast<const void *>(&TackpadErrors::show))
        .ShowError(error, sourceName, false);
}

TackpadErrors::Presenter TackpadErrors::setPresenter(Presenter next)
{
    Presenter previous = std::move(presenter());
    presenter() = std::move(next);
    return previous;
}
