#pragma once

#include <QWidget>

#include <initializer_list>

class CnfProgram;

// One page of the dialog "Program Configuration". It shows a part of the
// live configuration of the program, notes when the operator changes a field,
// and writes its fields back when the dialog is accepted.
class UICnfPage : public QWidget
{
    Q_OBJECT

public:
    UICnfPage(CnfProgram *pCnfProgram, QWidget *pParent);
    ~UICnfPage() override;

    // A field changed since the page was built.
    bool isModified() const;
    // Checks the fields and only then writes them into the configuration;
    // false, after a warning and with nothing written, when a field is not
    // acceptable.
    virtual bool applyData() = 0;

public slots:
    void dataModified();

protected:
    CnfProgram &cnfProgram() const;
    // Every change of these fields (text of a line edit, state of a check
    // box, entry of a combo box) marks the page modified. Called once the
    // fields are filled, so that filling them leaves the page unmodified.
    void watchFields(std::initializer_list<QWidget *> fields);
    // Warns with szWarning, puts the focus on pFocus and returns false, the
    // answer of applyData for a field that is not acceptable.
    bool refuse(QWidget *pFocus, const QString &szWarning);

private:
    CnfProgram *m_pCnfProgram;
    bool m_bModified;
};
