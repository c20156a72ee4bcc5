#pragma once

namespace orvelan {

class Dataset;

// The Therapy register's rules on its group table's events: together with the main window's
// activation guard they close the patient table when no form is left and open it again when
// a form is posted.
class TherapyRules {
public:
    TherapyRules(Dataset &table1, Dataset &table2);
    void install();

    void Table1BeforeDelete();
    void Table1AfterDelete();
    void Table1AfterPost();

private:
    Dataset &m_table1;
    Dataset &m_table2;
};

}  // namespace orvelan
