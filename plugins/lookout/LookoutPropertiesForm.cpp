#include "LookoutPropertiesForm.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

QColor colourOf(qint32 reference)
{
    return QColor(reference & 0xFF, (reference >> 8) & 0xFF, (reference >> 16) & 0xFF);
}

qint32 referenceOf(const QColor &colour)
{
    return qint32(colour.red() | (colour.green() << 8) | (colour.blue() << 16));
}

QString describe(const HighlightRule &rule)
{
    QString text = rule.pattern;
    if (rule.regularExpression)
        text += QStringLiteral("   (regular expression)");
    if (rule.matchCase)
        text += QStringLiteral("   (match case)");
    return text;
}

void paintButton(QPushButton *button, qint32 colour)
{
    button->setStyleSheet(QStringLiteral("background-color: %1").arg(colourOf(colour).name()));
}

} // namespace

LookoutPropertiesForm::LookoutPropertiesForm(const LookoutSettings &settings, QWidget *parent)
    : QDialog(parent)
    , m_settings(settings)
    , m_rules(new QListWidget(this))
    , m_pattern(new QLineEdit(this))
    , m_regularExpression(new QCheckBox(QStringLiteral("Regular expression"), this))
    , m_matchCase(new QCheckBox(QStringLiteral("Match case"), this))
    , m_colour(new QPushButton(this))
    , m_problem(new QLabel(this))
    , m_maxLines(new QSpinBox(this))
{
    setObjectName(QStringLiteral("LookoutPropertiesForm"));
    setWindowTitle(QStringLiteral("Lookout Properties"));
    setModal(true);
    m_rules->setObjectName(QStringLiteral("lstRules"));
    m_pattern->setObjectName(QStringLiteral("txtPattern"));
    m_regularExpression->setObjectName(QStringLiteral("chkRegularExpression"));
    m_matchCase->setObjectName(QStringLiteral("chkMatchCase"));
    m_colour->setObjectName(QStringLiteral("cmdColour"));
    m_maxLines->setObjectName(QStringLiteral("spnMaxLines"));
    m_colour->setFixedWidth(48);
    paintButton(m_colour, m_chosenColour);
    m_problem->setStyleSheet(QStringLiteral("color: red"));
    m_problem->setWordWrap(true);

    auto *add = new QPushButton(QStringLiteral("&Add"), this);
    auto *remove = new QPushButton(QStringLiteral("&Remove"), this);
    auto *up = new QPushButton(QStringLiteral("&Up"), this);
    auto *down = new QPushButton(QStringLiteral("&Down"), this);
    add->setObjectName(QStringLiteral("cmdAdd"));
    remove->setObjectName(QStringLiteral("cmdRemove"));
    up->setObjectName(QStringLiteral("cmdUp"));
    down->setObjectName(QStringLiteral("cmdDown"));

    auto *rulesBox = new QGridLayout;
    rulesBox->addWidget(new QLabel(QStringLiteral("Highlight rules (the first that matches a line colours it):"), this), 0, 0, 1, 2);
    rulesBox->addWidget(m_rules, 1, 0, 4, 1);
    rulesBox->addWidget(up, 1, 1);
    rulesBox->addWidget(down, 2, 1);
    rulesBox->addWidget(remove, 3, 1);
    auto *edit = new QHBoxLayout;
    edit->addWidget(m_pattern, 1);
    edit->addWidget(m_regularExpression);
    edit->addWidget(m_matchCase);
    edit->addWidget(m_colour);
    edit->addWidget(add);

    auto *cap = new QHBoxLayout;
    cap->addWidget(new QLabel(QStringLiteral("Keep at most"), this));
    m_maxLines->setRange(0, 100000000);
    m_maxLines->setSpecialValueText(QStringLiteral("all"));
    m_maxLines->setValue(settings.maxLines);
    cap->addWidget(m_maxLines);
    cap->addWidget(new QLabel(QStringLiteral("lines (0 keeps everything)"), this));
    cap->addStretch(1);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(rulesBox);
    layout->addLayout(edit);
    layout->addWidget(m_problem);
    layout->addLayout(cap);
    layout->addWidget(buttons);

    for (const HighlightRule &rule : std::as_const(m_settings.rules)) {
        m_rules->addItem(describe(rule));
        refreshRow(m_rules->count() - 1);
    }

    connect(add, &QPushButton::clicked, this, [this] { addRule(m_chosenColour); });
    connect(remove, &QPushButton::clicked, this, &LookoutPropertiesForm::removeRule);
    connect(up, &QPushButton::clicked, this, [this] { moveRule(-1); });
    connect(down, &QPushButton::clicked, this, [this] { moveRule(1); });
    connect(m_colour, &QPushButton::clicked, this, &LookoutPropertiesForm::chooseColour);
    connect(m_rules, &QListWidget::currentRowChanged, this, &LookoutPropertiesForm::showRule);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

LookoutPropertiesForm::~LookoutPropertiesForm() = default;

LookoutSettings LookoutPropertiesForm::settings() const
{
    LookoutSettings settings = m_settings;
    settings.maxLines = m_maxLines->value();
    return settings;
}

bool LookoutPropertiesForm::addRule(qint32 colour)
{
    HighlightRule rule;
    // A line break cannot live in the settings file, nor occur in a line.
    rule.pattern = m_pattern->text().remove(QLatin1Char('\r')).remove(QLatin1Char('\n'));
    rule.regularExpression = m_regularExpression->isChecked();
    rule.matchCase = m_matchCase->isChecked();
    rule.colour = colour;
    if (rule.pattern.isEmpty()) {
        m_problem->setText(QStringLiteral("Type the text the lines should hold."));
        return false;
    }
    if (const QString problem = rule.problem(); !problem.isEmpty()) {
        m_problem->setText(QStringLiteral("Invalid regular expression: ") + problem);
        return false;
    }
    m_problem->clear();
    m_settings.rules.append(rule);
    m_rules->addItem(describe(rule));
    refreshRow(m_rules->count() - 1);
    m_pattern->clear();
    return true;
}

void LookoutPropertiesForm::showRule(int row)
{
    if (row < 0 || row >= m_settings.rules.size())
        return;
    const HighlightRule &rule = m_settings.rules.at(row);
    m_pattern->setText(rule.pattern);
    m_regularExpression->setChecked(rule.regularExpression);
    m_matchCase->setChecked(rule.matchCase);
    m_chosenColour = rule.colour;
    paintButton(m_colour, m_chosenColour);
}

void LookoutPropertiesForm::removeRule()
{
    const int row = m_rules->currentRow();
    if (row < 0 || row >= m_settings.rules.size())
        return;
    m_settings.rules.removeAt(row);
    delete m_rules->takeItem(row);
}

void LookoutPropertiesForm::moveRule(int by)
{
    const int row = m_rules->currentRow();
    const int target = row + by;
    if (row < 0 || target < 0 || target >= m_settings.rules.size())
        return;
    m_settings.rules.swapItemsAt(row, target);
    QListWidgetItem *item = m_rules->takeItem(row);
    m_rules->insertItem(target, item);
    m_rules->setCurrentRow(target);
}

void LookoutPropertiesForm::chooseColour()
{
    const QColor chosen = QColorDialog::getColor(colourOf(m_chosenColour), this, QStringLiteral("Rule Colour"));
    if (!chosen.isValid())
        return;
    m_chosenColour = referenceOf(chosen);
    paintButton(m_colour, m_chosenColour);
    // The colour of a selected rule changes at once.
    const int row = m_rules->currentRow();
    if (row >= 0 && row < m_settings.rules.size()) {
        m_settings.rules[row].colour = m_chosenColour;
        refreshRow(row);
    }
}

void LookoutPropertiesForm::refreshRow(int row)
{
    if (QListWidgetItem *item = m_rules->item(row))
        item->setForeground(colourOf(m_settings.rules.at(row).colour));
}
