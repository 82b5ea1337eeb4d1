#include "MyPropertyForm.h"

#include "Guard.h"
#include "KSHandyLibrary.h"
#include "NumericText.h"
#include "ProductFrame.h"
#include "PropertyStore.h"
#include "RuntimeErrors.h"
#include "Twips.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

MyPropertyForm::MyPropertyForm(QWidget *parent)
    : QDialog(parent, Qt::Tool | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("MyPropertyForm"));
    setWindowTitle(QStringLiteral("'Chorescan' Properties"));
    setFont(tahoma(8.25));
    setFixedSize(Twips::toPixelsX(3705), Twips::toPixelsY(3420));

    placeInTwips(new ProductFrame(QStringLiteral("Label2"), this), 120, 0, 3465, 1605);

    auto *label = new QLabel(QStringLiteral("Find ToDo's In Folder:"), this);
    label->setObjectName(QStringLiteral("Label1"));
    placeInTwips(label, 120, 1680, 2295, 375);

    m_txtDirectory = new QLineEdit(this);
    m_txtDirectory->setObjectName(QStringLiteral("txtDirectory"));
    placeInTwips(m_txtDirectory, 120, 1920, 3015, 300);

    const auto addButton = [this](const QString &name, const QString &text) {
        auto *button = new QPushButton(text, this);
        button->setObjectName(name);
        // No default button: Enter in the folder box does not close the dialog.
        button->setAutoDefault(false);
        return button;
    };
    m_cmdBrowseDir = addButton(QStringLiteral("cmdBrowseDir"), QStringLiteral("..."));
    placeInTwips(m_cmdBrowseDir, 3240, 1920, 375, 300);

    m_chkFullResults = new QCheckBox(QStringLiteral("Show full search results"), this);
    m_chkFullResults->setObjectName(QStringLiteral("chkFullResults"));
    placeInTwips(m_chkFullResults, 120, 2400, 3375, 255);

    m_cmdOK = addButton(QStringLiteral("cmdOK"), QStringLiteral("OK"));
    placeInTwips(m_cmdOK, 840, 2880, 1335, 375);
    m_cmdCancel = addButton(QStringLiteral("cmdCancel"), QStringLiteral("Cancel"));
    placeInTwips(m_cmdCancel, 2280, 2880, 1335, 375);

    setTabOrder(m_txtDirectory, m_cmdOK);
    setTabOrder(m_cmdOK, m_cmdCancel);
    setTabOrder(m_cmdCancel, m_cmdBrowseDir);
    setTabOrder(m_cmdBrowseDir, m_chkFullResults);
    m_txtDirectory->setFocus();

    connect(m_cmdBrowseDir, &QPushButton::clicked, this, &MyPropertyForm::cmdBrowseDir_Click);
    connect(m_cmdOK, &QPushButton::clicked, this, &MyPropertyForm::cmdOK_Click);
    // Esc reaches reject() on its own, which is Cancel.
    connect(m_cmdCancel, &QPushButton::clicked, this, &MyPropertyForm::cmdCancel_Click);
}

template<typename Fn>
void MyPropertyForm::handle(const char *procedure, Fn &&fn)
{
    // Click handlers run under the event loop, where a failure cannot travel;
    // it is kept, the dialog closes, and Execute hands it to its caller.
    m_failure = captureFailure(
        [&] { passOn(QStringLiteral("MyPropertyForm.") + QLatin1StringView(procedure), std::forward<Fn>(fn)); });
    if (m_failure)
        reject();
}

void MyPropertyForm::Execute(PropertyStore *oProperties)
{
    passOn(QStringLiteral("MyPropertyForm.Execute"), [&] {
        m_properties = oProperties;
        m_failure.reset();
        Form_Load();
        exec();
        if (m_failure)
            throw *m_failure;
    });
}

void MyPropertyForm::Form_Load()
{
    passOn(QStringLiteral("MyPropertyForm.Form_Load"), [&] {
        if (!m_properties)
            RuntimeErrors::raise(RuntimeErrors::ObjectNotSet, QStringLiteral("KSChorescan"));
        m_txtDirectory->setText(m_properties->GetProperty(QStringLiteral("WorkingPath")).toString());
        const QString fullResults = m_properties->GetProperty(QStringLiteral("FullResults")).toString();
        m_chkFullResults->setChecked(false);
        // A two-state box, ticked exactly when the scan would give full
        // results: a greyed third state would let OK store a value (2) that
        // the scan reads as off while the box showed neither.
        if (NumericText::isNumeric(fullResults) && fullResults.trimmed().toDouble() == 1.0)
            m_chkFullResults->setCheckState(Qt::Checked);
    });
}

void MyPropertyForm::cmdBrowseDir_Click()
{
    handle("cmdBrowseDir_Click", [&] {
        m_txtDirectory->setText(
            KSHandyLibrary::BrowseDir(quint64(winId()), QStringLiteral("Chorescan Working Folder")));
    });
}

void MyPropertyForm::cmdOK_Click()
{
    handle("cmdOK_Click", [&] {
        if (!m_properties)
            RuntimeErrors::raise(RuntimeErrors::ObjectNotSet, QStringLiteral("KSChorescan"));
        m_properties->SetProperty(QStringLiteral("WorkingPath"), m_txtDirectory->text());
        const qint16 state = m_chkFullResults->checkState() == Qt::Checked ? 1 : 0;
        m_properties->SetProperty(QStringLiteral("FullResults"), QVariant::fromValue(state));
        accept();
    });
}

void MyPropertyForm::cmdCancel_Click()
{
    reject();
}
