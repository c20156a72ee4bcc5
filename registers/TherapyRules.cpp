#include "TherapyRules.h"

#include "Dataset.h"
#include "EngineError.h"

namespace orvelan {

TherapyRules::TherapyRules(Dataset &table1, Dataset &table2) : m_table1(table1), m_table2(table2) {}

void TherapyRules::install()
{
    m_table1.addBeforeDelete([this](Dataset &) { Table1BeforeDelete(); });
    m_table1.addAfterDelete([this](Dataset &) { Table1AfterDelete(); });
    m_table1.addAfterPost([this](Dataset &) { Table1AfterPost(); });
}

// Before a form goes, its cases are counted and the patient table is read afresh. The cases
// themselves stay: deleting a form never deletes a patient record. Any failure here leaves the
// patient table closed and lets the form's deletion go on.
void TherapyRules::Table1BeforeDelete()
{
    try {
        if (!m_table2.isActive())
            throw EngineError(QStringLiteral("Таблица пациентов закрыта"));
        if (m_table2.recordCount() > 0) {
            m_table2.close();
            m_table2.open();
        }
    } catch (const std::exception &) {
        try {
            m_table2.close();
        } catch (const std::exception &) {
        }
    }
}

void TherapyRules::Table1AfterDelete()
{
    if (m_table1.recordCount() == 0)
        m_table2.close();
}

void TherapyRules::Table1AfterPost()
{
    if (m_table1.recordCount() >= 1)
        m_table2.open();
}

}  // namespace orvelan
