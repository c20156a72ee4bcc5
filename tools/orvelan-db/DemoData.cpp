#include "DemoData.h"

#include "Database.h"
#include "EngineError.h"
#include "Schema.h"

#include <QDate>
#include <QHash>
#include <QStringList>
#include <algorithm>
#include <random>
#include <vector>

namespace orvelan {

namespace {

// Word lists are written '|'-separated, which keeps the tables below readable.
QStringList L(const char *joined) { return QString::fromUtf8(joined).split(QLatin1Char('|')); }

const QDate kFirstDay(2000, 1, 1);
const QDate kLastDay(2026, 11, 30);

// mt19937 is the same everywhere; the standard distributions are not, so ranges are mapped here.
class Rng {
public:
    explicit Rng(std::uint32_t seed) : m_gen(seed) {}
    int range(int lo, int hi)  // inclusive
    {
        const std::uint64_t span = std::uint64_t(std::int64_t(hi) - lo + 1);
        return lo + int((std::uint64_t(m_gen() & 0xFFFFFFFFu) * span) >> 32);
    }
    bool chance(int percent) { return range(0, 99) < percent; }
    int weighted(std::initializer_list<int> weights) { return weighted(std::vector<int>(weights)); }
    int weighted(const std::vector<int> &weights)
    {
        int total = 0;
        for (int w : weights)
            total += w;
        int x = range(0, total - 1);
        for (size_t i = 0; i < weights.size(); ++i) {
            if (x < weights[i])
                return int(i);
            x -= weights[i];
        }
        return int(weights.size()) - 1;
    }
    const QString &pick(const QStringList &list) { return list[range(0, int(list.size()) - 1)]; }
    const QString &pick(const QStringList &list, std::initializer_list<int> weights) { return list[weighted(weights)]; }
    QDate day(QDate from, QDate to) { return from.addDays(range(0, int(from.daysTo(to)))); }

private:
    std::mt19937 m_gen;
};

// One prepared INSERT per table, re-bound for every row. Text is checked against the declared
// width here, so a word list entry that is too long fails at once instead of being stored cut.
class Inserter {
public:
    Inserter(Database &db, const char *table, const char *fields)
        : m_db(db), m_table(tableDef(table)), m_fields(L(fields)), m_st(db.handle(), sql())
    {
        for (const QString &name : m_fields)
            m_defs.push_back(m_table.field(name));
    }

    qint64 row(std::initializer_list<QVariant> values)
    {
        if (values.size() != m_defs.size())
            throw EngineError(QStringLiteral("Демо-данные: неверное число значений для %1").arg(m_table.sqlName()));
        int i = 0;
        for (const QVariant &v : values) {
            const FieldDef &f = *m_defs[i++];
            if (v.typeId() == QMetaType::QDate) {
                m_st.bind(i, v.toDate().isValid() ? QVariant(v.toDate().toString(Qt::ISODate)) : QVariant());
            } else if (v.typeId() == QMetaType::QString) {
                const QString s = v.toString();
                if (f.kind == FieldKind::Text && s.size() > f.width)
                    throw EngineError(QStringLiteral("Демо-данные: «%1» не помещается в %2.%3 (%4)")
                                          .arg(s, m_table.sqlName(), f.name)
                                          .arg(f.width));
                // Empty text is stored as NULL, never as ''.
                m_st.bind(i, s.isEmpty() ? QVariant() : v);
            } else {
                m_st.bind(i, v);
            }
        }
        m_st.step();
        m_st.reset();
        return m_db.lastInsertId();
    }

private:
    static const TableDef &tableDef(const char *table)
    {
        const TableDef *t = findTable(QString::fromUtf8(table) + QStringLiteral(".db"));
        if (!t)
            throw EngineError(QStringLiteral("Демо-данные: нет таблицы %1").arg(QString::fromUtf8(table)));
        return *t;
    }
    QString sql() const
    {
        QStringList cols, params;
        for (const QString &name : m_fields) {
            if (!m_table.field(name))
                throw EngineError(QStringLiteral("Демо-данные: нет поля %1.%2").arg(m_table.sqlName(), name));
            cols << quoteIdent(name);
            params << QStringLiteral("?%1").arg(params.size() + 1);
        }
        return QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
            .arg(quoteIdent(m_table.sqlName()), cols.join(QLatin1String(", ")), params.join(QLatin1String(", ")));
    }

    Database &m_db;
    const TableDef &m_table;
    const QStringList m_fields;
    Statement m_st;
    std::vector<const FieldDef *> m_defs;
};

// Nosological forms. The poisoning forms fill the three registers' group tables; the
// deceased register also has somatic causes (no agents, no codes).
struct Form {
    const char *key;
    const char *name;
    int weight;          // how often the form is seen, relative to the others
    const char *agents;  // what is written as the poisoning agent
    const char *codes;   // ICD-10 codes of the dictionary that go with the form
};

const Form kForms[] = {
    {"psy", "Отравления психофармакологическими средствами", 22,
     "Феназепам|Амитриптилин|Галоперидол|Аминазин|Диазепам|Карбамазепин", "T42.4|T43.0|T43.3|T43.4|T42.1"},
    {"alc", "Отравления алкоголем и его суррогатами", 20, "Этанол|Метанол|Этиленгликоль|Изопропанол|Суррогаты алкоголя",
     "T51.0|T51.1|T51.2|T52.3|T51.8"},
    {"opi", "Отравления опиоидами", 12, "Героин|Метадон|Морфин|Трамадол|Кодеин", "T40.1|T40.2|T40.3|T40.4"},
    {"stim", "Отравления психостимуляторами и каннабиноидами", 4, "Амфетамин|Кокаин|Мефедрон|Спайс|Гашиш",
     "T40.5|T43.6|T40.7"},
    {"acid", "Отравления прижигающими жидкостями", 8,
     "Уксусная кислота|Соляная кислота|Каустическая сода|Нашатырный спирт|Перманганат калия", "T54.2|T54.3|T54.9"},
    {"co", "Отравления угарным газом и продуктами горения", 5, "Угарный газ|Продукты горения|Выхлопные газы",
     "T58|T59.8"},
    {"mush", "Отравления грибами", 2, "Бледная поганка|Мухомор|Строчки|Ложные опята", "T62.0"},
    {"fos", "Отравления фосфорорганическими соединениями", 2, "Хлорофос|Карбофос|Дихлофос|Диазинон", "T60.0"},
    {"card", "Отравления сердечно-сосудистыми средствами", 5, "Клофелин|Верапамил|Дигоксин|Метопролол|Амлодипин",
     "T46.0|T46.1|T46.5|T44.7"},
    {"analg", "Отравления анальгетиками и жаропонижающими", 5, "Аспирин|Парацетамол|Анальгин|Ибупрофен|Диклофенак",
     "T39.0|T39.1|T39.2|T39.3"},
    {"oil", "Отравления нефтепродуктами и растворителями", 3, "Бензин|Керосин|Ацетон|Растворитель 646|Толуол|Дихлорэтан",
     "T52.0|T52.2|T52.4|T53.6"},
    {"barb", "Отравления барбитуратами и снотворными", 3, "Фенобарбитал|Корвалол|Валокордин|Зопиклон", "T42.3|T42.6"},
    {"chol", "Отравления холинолитиками и антигистаминными", 3, "Димедрол|Атропин|Циклодол|Супрастин", "T45.0|T44.3"},
    {"plant", "Отравления ядовитыми растениями", 1, "Дурман|Белена|Болиголов|Чемерица", "T62.2"},
    {"venom", "Укусы ядовитых змей и насекомых", 1, "Гадюка|Каракурт|Пчелы|Осы", "T63.0|T63.3|T63.4"},
    {"metal", "Отравления соединениями тяжелых металлов", 1, "Ртуть|Свинец|Медный купорос|Мышьяк",
     "T56.0|T56.1|T56.4|T57.0"},
    {"unk", "Отравления неустановленным веществом", 3, "Неизвестное вещество", "T65.9"},
    {"heart", "Заболевания сердечно-сосудистой системы", 6, nullptr, nullptr},
    {"lung", "Заболевания органов дыхания", 3, nullptr, nullptr},
    {"other", "Прочие заболевания", 2, nullptr, nullptr},
};
constexpr int kFormCount = int(std::size(kForms));

const char *const kPoisonCodes =
    "T36.0 Отравление пенициллинами|T39.0 Отравление салицилатами|T39.1 Отравление парацетамолом|"
    "T39.2 Отравление производными пиразолона|T39.3 Отравление НПВС|T40.1 Отравление героином|"
    "T40.2 Отравление опиоидами|T40.3 Отравление метадоном|T40.4 Отравление синтетич. наркотиками|"
    "T40.5 Отравление кокаином|T40.7 Отравление каннабиноидами|T42.1 Отравление карбамазепином|"
    "T42.3 Отравление барбитуратами|T42.4 Отравление бензодиазепинами|T42.6 Отравление снотворными средствами|"
    "T43.0 Отравление антидепрессантами|T43.3 Отравление фенотиазинами|T43.4 Отравление бутирофенонами|"
    "T43.6 Отравление психостимуляторами|T44.3 Отравление холинолитиками|T44.7 Отравление бета-блокаторами|"
    "T45.0 Отравление антигистаминными|T46.0 Отравление сердечными гликозидами|"
    "T46.1 Отравление блокаторами Са-каналов|T46.5 Отравление гипотензивными ср-вами|"
    "T51.0 Токсическое действие этанола|T51.1 Токсическое действие метанола|T51.2 Токсическое действие пропанола|"
    "T51.8 Отравление суррогатами алкоголя|T52.0 Отравление нефтепродуктами|T52.2 Токсическое действие толуола|"
    "T52.3 Токсическое действие гликолей|T52.4 Токсическое действие ацетона|T53.6 Токсическое действие дихлорэтана|"
    "T54.2 Токсическое действие кислот|T54.3 Токсическое действие щелочей|T54.9 Действие разъедающего вещества|"
    "T56.0 Токсическое действие свинца|T56.1 Токсическое действие ртути|T56.4 Токсическое действие меди|"
    "T57.0 Токсическое действие мышьяка|T58 Токсическое действие угарного газа|T59.8 Отравление дымом|"
    "T60.0 Отравление фосфорорганическими|T62.0 Отравление грибами|T62.2 Отравление ядовитыми растениями|"
    "T63.0 Токсическое действие змеиного яда|T63.3 Токсическое действие яда пауков|"
    "T63.4 Токсическое действие яда насекомых|T65.9 Отравление неуточненным веществом";

// Therapy diagnoses, "name:code".
const char *const kTherapyDiagnoses =
    "Эссенциальная (первичная) гипертензия:I10|"
    "Гипертоническая болезнь с преимущественным поражением сердца:I11.9|Стенокардия напряжения:I20.8|"
    "Хроническая ишемическая болезнь сердца:I25.9|Фибрилляция и трепетание предсердий:I48|"
    "Хроническая сердечная недостаточность:I50.0|Внебольничная пневмония:J18.9|Аспирационная пневмония:J69.0|"
    "Острый бронхит:J20.9|Хроническая обструктивная болезнь легких с обострением:J44.1|Бронхиальная астма:J45.9|"
    "Гастрит неуточненный:K29.7|Язва желудка:K25.9|Язва двенадцатиперстной кишки:K26.9|"
    "Алкогольная болезнь печени:K70.9|Токсическая болезнь печени с острым гепатитом:K71.2|"
    "Острый панкреатит:K85.9|Хронический панкреатит:K86.1|Сахарный диабет 2 типа без осложнений:E11.9|"
    "Сахарный диабет 1 типа:E10.9|Ожирение:E66.9|Железодефицитная анемия:D50.9|Хронический пиелонефрит:N11.9|"
    "Острая почечная недостаточность:N17.9|Токсическая энцефалопатия:G92|Алкогольная полинейропатия:G62.1|"
    "Эпилепсия:G40.9|Синдром зависимости, вызванный употреблением алкоголя:F10.2|"
    "Остеохондроз позвоночника:M42.9|Вегетативная дисфункция:G90.8";

struct Tagged {
    const char *form;
    const char *text;
};

// Clinical diagnoses of the deceased (TYPE_WORK).
const Tagged kClinical[] = {
    {"psy", "T42.4 Острое отравление бензодиазепинами, кома II ст."},
    {"psy", "T43.0 Острое отравление трициклическими антидепрессантами, кома"},
    {"alc", "T51.0 Острое отравление этанолом тяжелой степени, алкогольная кома"},
    {"alc", "T51.1 Острое отравление метанолом, токсическая энцефалопатия"},
    {"opi", "T40.2 Острое отравление опиоидами, кома, отек легких"},
    {"opi", "T40.1 Отравление героином, острая дыхательная недостаточность"},
    {"stim", "T43.6 Отравление психостимуляторами, острый психоз, гипертермия"},
    {"acid", "T54.2 Отравление уксусной кислотой, химический ожог пищевода III ст."},
    {"co", "T58 Отравление угарным газом тяжелой степени, отек головного мозга"},
    {"mush", "T62.0 Отравление бледной поганкой, острая печеночная недостаточность"},
    {"fos", "T60.0 Отравление ФОС, холинергический криз"},
    {"card", "T46.5 Отравление клофелином, брадикардия, кардиогенный шок"},
    {"analg", "T39.1 Отравление парацетамолом, острая печеночная недостаточность"},
    {"oil", "T53.6 Отравление дихлорэтаном, токсическая гепатопатия и нефропатия"},
    {"barb", "T42.3 Острое отравление барбитуратами, кома III ст."},
    {"chol", "T44.3 Отравление холинолитиками, холинолитический синдром"},
    {"plant", "T62.2 Отравление дурманом, психомоторное возбуждение, кома"},
    {"venom", "T63.0 Укус гадюки, отек конечности, ДВС-синдром"},
    {"metal", "T56.1 Отравление ртутью, острая почечная недостаточность"},
    {"unk", "T65.9 Отравление неизвестным веществом, кома неясной этиологии"},
    {"heart", "I21.9 Острый инфаркт миокарда"},
    {"heart", "I64 Инсульт, не уточненный как кровоизлияние или инфаркт"},
    {"lung", "J18.9 Внебольничная двусторонняя пневмония тяжелого течения"},
    {"lung", "J96.0 Острая дыхательная недостаточность"},
    {"other", "K92.2 Желудочно-кишечное кровотечение"},
    {"other", "K74.6 Цирроз печени, печеночная кома"},
};

// Autopsy diagnoses (PATANATOM).
const Tagged kAutopsy[] = {
    {"psy", "Острое отравление феназепамом. Отек головного мозга"},
    {"psy", "Отравление амитриптилином. Острая сердечная недостаточность"},
    {"alc", "Отравление этанолом. Отек головного мозга. Жировой гепатоз"},
    {"alc", "Отравление метанолом. Отек мозга. Токсическая нефропатия"},
    {"opi", "Острое отравление метадоном. Отек головного мозга и легких"},
    {"opi", "Отравление героином. Аспирационная пневмония"},
    {"stim", "Отравление амфетамином. Кровоизлияние в головной мозг"},
    {"acid", "Химический ожог пищевода и желудка. Токсическая нефропатия"},
    {"co", "Отравление окисью углерода. Карбоксигемоглобинемия"},
    {"mush", "Отравление бледной поганкой. Токсическая дистрофия печени"},
    {"fos", "Отравление ФОС. Отек легких"},
    {"card", "Отравление клофелином. Острая сердечно-сосудистая недостаточность"},
    {"analg", "Отравление парацетамолом. Центролобулярный некроз печени"},
    {"oil", "Отравление дихлорэтаном. Токсическая дистрофия печени и почек"},
    {"barb", "Отравление барбитуратами. Гипостатическая пневмония"},
    {"chol", "Отравление холинолитиками. Отек головного мозга"},
    {"plant", "Отравление дурманом. Отек головного мозга"},
    {"venom", "Укус гадюки. ДВС-синдром"},
    {"metal", "Отравление сулемой. Некротический нефроз"},
    {"unk", "Отравление неустановленным веществом. Отек головного мозга"},
    {"heart", "Острый трансмуральный инфаркт миокарда левого желудочка"},
    {"heart", "Ишемический инфаркт головного мозга"},
    {"lung", "Двусторонняя долевая пневмония. Отек легких"},
    {"other", "Цирроз печени. Желудочно-кишечное кровотечение"},
};

// Surnames in the masculine form; the feminine one is derived.
const char *const kSurnames =
    "Иванов|Петров|Смирнов|Кузнецов|Попов|Васильев|Соколов|Михайлов|Новиков|Федоров|Морозов|Волков|Алексеев|"
    "Лебедев|Семенов|Егоров|Павлов|Козлов|Степанов|Николаев|Орлов|Андреев|Макаров|Никитин|Захаров|Зайцев|"
    "Соловьев|Борисов|Яковлев|Григорьев|Романов|Воробьев|Сергеев|Фролов|Александров|Дмитриев|Королев|Гусев|"
    "Киселев|Ильин|Максимов|Поляков|Сорокин|Виноградов|Ковалев|Белов|Медведев|Антонов|Тарасов|Жуков|Баранов|"
    "Филиппов|Комаров|Давыдов|Беляев|Герасимов|Богданов|Осипов|Сидоров|Матвеев|Титов|Марков|Миронов|Крылов|"
    "Куликов|Карпов|Власов|Мельников|Денисов|Гаврилов|Тихонов|Казаков|Афанасьев|Данилов|Фомин|Чернов|Калинин|"
    "Быков|Маслов|Лазарев|Воронин|Голубев|Кудрявцев|Прохоров|Гончаров|Котов|Гришин|Панов|Галкин|Юдин|Цветков|"
    "Покровский|Вишневский|Успенский|Троицкий|Добровольский|Толстой|Луговой|Шевченко|Бондаренко|Кравченко|Черных";
const char *const kMaleNames =
    "Александр|Сергей|Владимир|Андрей|Алексей|Дмитрий|Николай|Иван|Михаил|Евгений|Игорь|Юрий|Олег|Виктор|Павел|"
    "Константин|Максим|Артем|Денис|Роман|Вячеслав|Анатолий|Геннадий|Валерий|Борис|Петр|Станислав|Василий";
const char *const kFemaleNames =
    "Елена|Ольга|Наталья|Татьяна|Ирина|Светлана|Мария|Анна|Екатерина|Юлия|Людмила|Галина|Надежда|Валентина|"
    "Марина|Оксана|Любовь|Анастасия|Вера|Нина|Лариса|Тамара|Александра|Дарья|Ксения|Алла|Зинаида";
// Only -ович/-евич forms: the feminine form is then regular.
const char *const kPatronymics =
    "Александрович|Сергеевич|Владимирович|Николаевич|Иванович|Петрович|Андреевич|Михайлович|Викторович|"
    "Юрьевич|Алексеевич|Дмитриевич|Анатольевич|Васильевич|Геннадьевич|Евгеньевич|Олегович|Игоревич|Борисович|"
    "Григорьевич|Валерьевич|Павлович|Константинович|Федорович|Степанович|Романович";

QString femaleSurname(const QString &s)
{
    if (s.endsWith(QStringLiteral("ий")) || s.endsWith(QStringLiteral("ой")))
        return s.chopped(2) + QStringLiteral("ая");
    if (s.endsWith(QStringLiteral("ов")) || s.endsWith(QStringLiteral("ев")) || s.endsWith(QStringLiteral("ин")))
        return s + QStringLiteral("а");
    return s;  // Шевченко, Черных: one form for both
}

struct Person {
    QString fio;
    QString sex;
    int age = 0;
};

struct Visit {
    QDate day;
    QString fio;
    int caseNo = 0;
    int days = 0;
};

// Case numbers of a register start again every year, as in a paper journal.
class Journal {
public:
    int next(Rng &rng, QDate day)
    {
        if (day.year() != m_year) {
            m_year = day.year();
            m_last = 0;
        }
        m_last += rng.range(1, 3);
        return m_last;
    }

private:
    int m_year = 0;
    int m_last = 0;
};

class Demo {
public:
    Demo(Database &db, const DemoOptions &options) : m_db(db), m_patients(std::max(0, options.patients)), m_rng(options.seed)
    {
        m_surnames = L(kSurnames);
        m_maleNames = L(kMaleNames);
        m_femaleNames = L(kFemaleNames);
        m_patronymics = L(kPatronymics);
        for (int f = 0; f < kFormCount; ++f) {
            const Form &form = kForms[f];
            m_formOf.insert(QString::fromUtf8(form.key), f);
            m_agents.push_back(form.agents ? L(form.agents) : QStringList());
            m_codes.push_back(form.codes ? L(form.codes) : QStringList());
            m_allWeights.push_back(form.weight);
            m_poisonWeights.push_back(form.agents ? form.weight : 0);
        }
        m_alcohol = formOf("alc");
    }

    void run()
    {
        dictionaries();
        groups();
        const qint64 p = m_patients;
        const qint64 poison = p * 40 / 100, therapy = p * 25 / 100, reanimation = p * 25 / 100;
        poisonings(poison);
        register2("FIO", m_therapyIds, therapy, false);
        register2("OTR5", m_reanimationIds, reanimation, true);
        deceased(p - poison - therapy - reanimation);
        payments();
        directory();
        notebook();
    }

private:
    int formOf(const char *key) const
    {
        const auto it = m_formOf.find(QString::fromUtf8(key));
        if (it == m_formOf.end())
            throw EngineError(QStringLiteral("Демо-данные: нет формы %1").arg(QString::fromUtf8(key)));
        return *it;
    }

    // Somatic forms have weight 0 among the poisonings, so those never pick them.
    int pickForm(bool withSomatic) { return m_rng.weighted(withSomatic ? m_allWeights : m_poisonWeights); }

    // Dictionary id of one of the form's codes.
    qint64 codeFor(int form, const QHash<QString, qint64> &ids)
    {
        const QString code = m_rng.pick(m_codes[form]);
        const auto it = ids.find(code);
        if (it == ids.end())
            throw EngineError(QStringLiteral("Демо-данные: кода %1 нет в справочнике").arg(code));
        return *it;
    }

    void dictionaries()
    {
        Inserter otr(m_db, "OT_R", "MKB"), otr1(m_db, "OT_R1", "MKB");
        for (const QString &mkb : L(kPoisonCodes)) {
            const QString code = mkb.section(QLatin1Char(' '), 0, 0);
            m_codeIds.insert(code, otr.row({mkb}));
            m_code1Ids.insert(code, otr1.row({mkb}));
        }
        Inserter diag(m_db, "DIAGNOZ", "NAME_DIAGNOZ|KOD_DIAGNOZ");
        for (const QString &d : L(kTherapyDiagnoses))
            m_diagnozIds.push_back(diag.row({d.section(QLatin1Char(':'), 0, 0), d.section(QLatin1Char(':'), 1)}));

        // Every form gets at least one entry of each, which deceased() relies on.
        Inserter clinical(m_db, "TYPE_WORK", "NAME_LONG"), autopsy(m_db, "PATANATOM", "NAME_LONG");
        m_clinical.resize(kFormCount);
        m_autopsy.resize(kFormCount);
        for (const Tagged &t : kClinical) {
            clinical.row({QString::fromUtf8(t.text)});
            m_clinical[formOf(t.form)] << QString::fromUtf8(t.text);
        }
        for (const Tagged &t : kAutopsy) {
            autopsy.row({QString::fromUtf8(t.text)});
            m_autopsy[formOf(t.form)] << QString::fromUtf8(t.text);
        }
    }

    void groups()
    {
        Inserter otr2(m_db, "OTR2", "OTR"), ther(m_db, "OTRAVLENIYA", "NAME_LONG"), rean(m_db, "OTR4", "NAME_LONG"),
            dead(m_db, "OTR6", "NAME_LONG");
        for (const Form &f : kForms) {
            const QString name = QString::fromUtf8(f.name);
            if (f.agents) {
                m_poisonIds.push_back(otr2.row({name}));
                m_therapyIds.push_back(ther.row({name}));
                m_reanimationIds.push_back(rean.row({name}));
            }
            m_deceasedIds.push_back(dead.row({name}));
        }
    }

    Person person(int malePercent, bool patient = true)
    {
        Person p;
        const bool male = m_rng.chance(malePercent);
        p.sex = male ? QStringLiteral("М") : QStringLiteral("Ж");
        p.age = 16 + (m_rng.range(0, 74) + m_rng.range(0, 74)) / 2;
        // Now and then a patient comes in unidentified.
        if (patient && m_rng.range(0, 499) == 0)
            return p;
        const QString surname = m_rng.pick(m_surnames);
        const QString name = m_rng.pick(male ? m_maleNames : m_femaleNames);
        const QString patronymic = m_rng.pick(m_patronymics);
        p.fio = male ? surname + QLatin1Char(' ') + name + QLatin1Char(' ') + patronymic
                     : femaleSurname(surname) + QLatin1Char(' ') + name + QLatin1Char(' ') + patronymic.chopped(2) +
                           QStringLiteral("на");
        return p;
    }

    // Admissions of a register go in date order over the whole period, as a journal is kept.
    QDate admission(qint64 i, qint64 n)
    {
        const qint64 span = kFirstDay.daysTo(kLastDay) + 1;
        return kFirstDay.addDays((i * 1000 + m_rng.range(0, 999)) * span / (n * 1000));
    }

    // Bed-days grow with the severity.
    int stay(int severity)
    {
        static const int lo[] = {1, 2, 5, 10}, hi[] = {5, 10, 20, 30};
        return m_rng.range(lo[severity], hi[severity]);
    }

    QVariant alcohol(bool drinker)
    {
        if (m_rng.chance(drinker ? 90 : 25))
            return m_rng.range(drinker ? 5 : 0, drinker ? 45 : 30) / 10.0;
        return {};
    }

    // A short record: how the patient came in, then one or two things that were done.
    QString note(const QStringList &opening, const QStringList &course, int percent)
    {
        if (!m_rng.chance(percent))
            return {};
        QString s = m_rng.pick(opening);
        const int a = m_rng.range(0, int(course.size()) - 1);
        s += QLatin1Char(' ') + course[a];
        if (m_rng.chance(50))
            s += QLatin1Char(' ') + course[(a + m_rng.range(1, int(course.size()) - 1)) % course.size()];
        return s;
    }

    qint64 paymentCount() const { return std::max<qint64>(50, m_patients / 20); }

    void poisonings(qint64 n)
    {
        Inserter ins(m_db, "OTR3",
                     "OT|FIO|KOIKO|PRICHINY|SEX|VOZRAST|GHITEL|DIADNOZ|ST_TIAG|VREMIA_OTR|LIST NETR|IAG|N IST|ISHOD|"
                     "KEM|DIAGNOZSOVP|DATAPOST|DataVIP|%ALC|DIA");
        const QStringList kem = L("Скорой помощью|Самостоятельно|Милицией|Посторонними");
        const QStringList cause = L("Случайное|Суицидальное|Криминальное");
        const QStringList delay = L("Первые 6 часов|6 -12 часов|12 -24 часа|Более 24 часов");
        const QStringList severity = L("Легкая|Средняя|Тяжелая|Крайне тяжелая");
        const QStringList match = L("Совпадение|Расхождение");
        const QStringList outcome = L("Выздоровление|Улучшение|Переведен");
        const QStringList living = L("Город|Район|Село|Иногородний");
        const QStringList yesNo = L("Да|Нет");
        const QStringList opening = L("При поступлении сознание ясное.|При поступлении оглушение.|"
                                      "При поступлении сопор.|При поступлении кома I ст.|Рвота на догоспитальном этапе.");
        const QStringList course = L("Зондовое промывание желудка.|Инфузионная терапия.|Форсированный диурез.|"
                                     "Введен антидот.|ИВЛ в течение суток.|Гемосорбция.|Консультация психиатра.|"
                                     "Выписка под наблюдение участкового врача.");
        const qint64 sampleStep = std::max<qint64>(1, n / paymentCount());
        Journal journal;
        for (qint64 i = 0; i < n; ++i) {
            const int f = pickForm(false);
            const bool alc = f == m_alcohol;
            const Person p = person(alc ? 75 : 58);
            const QDate in = admission(i, n);
            const int grade = m_rng.weighted({30, 40, 22, 8});
            const int days = stay(grade);
            const QDate out = m_rng.chance(97) ? in.addDays(days) : QDate();
            const int caseNo = journal.next(m_rng, in);
            const QString agent = m_rng.pick(m_agents[f]);
            ins.row({m_poisonIds[f], p.fio, out.isValid() ? QVariant(days) : QVariant(),
                     m_rng.pick(cause, {58, 37, 5}), p.sex, p.age, m_rng.pick(living, {60, 20, 12, 8}),
                     QString::number(codeFor(f, m_codeIds)), severity[grade], m_rng.pick(delay, {55, 25, 12, 8}),
                     p.age < 60 && m_rng.chance(45) ? yesNo[0] : yesNo[1], agent, caseNo,
                     out.isValid() ? m_rng.pick(outcome, {55, 35, 10}) : QString(), m_rng.pick(kem, {72, 18, 5, 5}),
                     m_rng.pick(match, {92, 8}), in, out, alcohol(alc), note(opening, course, 60)});
            if (i % sampleStep == 0 && !p.fio.isEmpty())
                m_visits.push_back({in, p.fio, caseNo, days});
        }
    }

    // Therapy (FIO) and reanimation (OTR5) share a layout; the diagnosis of the first is a
    // therapy one, of the second a poisoning code.
    void register2(const char *table, const std::vector<qint64> &formIds, qint64 n, bool reanimation)
    {
        Inserter ins(m_db, table,
                     "ID_OBS|FIO|SEX|VOZ|KEM_DOST|IS_LIST_Y_N|DIAGNOZ|N IST|DATA_TO|DATA_FROM|ISHOD|DIA");
        // The therapy pick list stores "Посторонними " with its trailing blank.
        const QStringList kem = L("Скорой помощью|Самостоятельно|Посторонними |Родственниками|Милицией");
        const QStringList outcome = L("Выздоровление|Улучшение|Переведен");
        const QStringList yesNo = L("Да|Нет");
        const QStringList opening = reanimation
            ? L("Поступление в крайне тяжелом состоянии.|При поступлении кома II ст.|При поступлении сопор.|"
                "Переведен из приемного отделения.")
            : L("Жалобы на слабость, головокружение.|Жалобы на боли в эпигастрии.|АД 160/100 мм рт. ст.|"
                "Одышка при нагрузке.");
        const QStringList course = reanimation
            ? L("ИВЛ.|Инфузионная терапия.|Вазопрессоры.|Гемодиализ.|Антидотная терапия.|Санационная бронхоскопия.")
            : L("Гипотензивная терапия.|Антибактериальная терапия.|Рентгенография ОГК.|ЭКГ без динамики.|"
                "Гастропротекторы.|Рекомендовано наблюдение терапевта.");
        Journal journal;
        for (qint64 i = 0; i < n; ++i) {
            const int f = pickForm(false);
            const Person p = person(60);
            const QDate in = admission(i, n);
            const int days = reanimation ? m_rng.range(1, 10) : m_rng.range(3, 30);
            const QDate out = m_rng.chance(97) ? in.addDays(days) : QDate();
            const qint64 diagnosis =
                reanimation ? codeFor(f, m_code1Ids) : m_diagnozIds[m_rng.range(0, int(m_diagnozIds.size()) - 1)];
            // Reanimation mostly hands its patients over to a department.
            const int result = reanimation ? m_rng.weighted({10, 30, 60}) : m_rng.weighted({45, 45, 10});
            ins.row({formIds[f], p.fio, p.sex, p.age, m_rng.pick(kem, {55, 20, 10, 10, 5}),
                     p.age < 60 && m_rng.chance(45) ? yesNo[0] : yesNo[1], diagnosis, journal.next(m_rng, in), in, out,
                     out.isValid() ? outcome[result] : QString(), note(opening, course, 50)});
        }
    }

    void deceased(qint64 n)
    {
        Inserter ins(m_db, "MORE",
                     "MOR|FIO|N ist bol|DIAGN KLIN|DIAGN PAT|PRIMECHANIA|DATA_P|DATA_S|VREMIA|SEX|VOZRAST|COVP|% alk|"
                     "KATEGOR|DIA|DIA_PAT");
        const QStringList period = L("До 3-х часов|До 12 часов|До 3-х суток|Свыше 3-х суток");
        const QStringList match = L("Совпадение|Расхождение");
        const QStringList department = L("Отравления|Терапия|Реанимация");
        const QStringList remark = L("Судебно-медицинское вскрытие|Вскрытие не проводилось|Смерть в приемном отделении|"
                                     "Отказ родственников от вскрытия|Перевод из ЦРБ|Материал направлен на СХИ");
        const QStringList opening = L("Доставка бригадой СМП в крайне тяжелом состоянии.|При поступлении кома III ст.|"
                                      "Поступление в агональном состоянии.");
        const QStringList course = L("ИВЛ, вазопрессоры.|Реанимационные мероприятия без эффекта.|Гемодиализ.|"
                                     "Антидотная терапия.|Констатирована биологическая смерть.");
        const QStringList autopsyOpening = L("Полнокровие внутренних органов.|Жидкая темная кровь в полостях сердца.|"
                                             "Мелкоточечные кровоизлияния под плеврой.");
        const QStringList autopsyCourse = L("Отек головного мозга.|Отек легких.|Дистрофия печени.|"
                                            "Материал направлен на судебно-химическое исследование.");
        Journal journal;
        for (qint64 i = 0; i < n; ++i) {
            const int f = pickForm(true);
            const bool alc = f == m_alcohol;
            const Person p = person(68);
            const QDate in = admission(i, n);
            const int v = m_rng.weighted({15, 20, 35, 30});
            const int days = v == 0 ? 0 : v == 1 ? m_rng.range(0, 1) : v == 2 ? m_rng.range(1, 3) : m_rng.range(4, 30);
            // The clinical diagnosis matches the form; the autopsy one mostly agrees with it.
            const bool agrees = m_rng.chance(88);
            const QStringList &autopsy = m_autopsy[agrees ? f : (f + m_rng.range(1, kFormCount - 1)) % kFormCount];
            ins.row({m_deceasedIds[f], p.fio, journal.next(m_rng, in), m_rng.pick(m_clinical[f]), m_rng.pick(autopsy),
                     m_rng.chance(15) ? m_rng.pick(remark) : QString(), in, in.addDays(days), period[v], p.sex, p.age,
                     agrees ? match[0] : match[1], alcohol(alc), m_rng.pick(department, {25, 15, 60}),
                     note(opening, course, 70), note(autopsyOpening, autopsyCourse, 60)});
        }
    }

    void payments()
    {
        Inserter category(m_db, "KATEGOR", "KATEGOR"), service(m_db, "USLUGA", "USLUGA|CENA|CENA1");
        struct Service {
            QString name;
            int price;
        };
        std::vector<Service> services;
        // Service names fit the 25 characters of a payment row as well.
        const char *const catalogue[][2] = {
            {"Лабораторные исследования",
             "Общий анализ крови:350|Биохимия крови:900|Общий анализ мочи:300|Коагулограмма:750|Электролиты крови:600"},
            {"Химико-токсикологические исследования",
             "Алкоголь в крови:650|Наркотики в моче:1500|Психотропные в крови:1800|Метанол и гликоли:1400|"
             "Карбоксигемоглобин:700"},
            {"Функциональная диагностика",
             "ЭКГ:400|УЗИ брюшной полости:1300|Рентген грудной клетки:900|ЭГДС:2200|ЭЭГ:1600"},
            {"Лечебные процедуры",
             "Инфузионная терапия:2500|Плазмаферез:6000|Гемосорбция:8500|Выведение из запоя:4500|"
             "Консультация нарколога:1200"},
            {"Сервисные услуги",
             "Одноместная палата:2500|Индивидуальный пост:3000|Справка о пребывании:200|Копия мед. документов:300|"
             "Питание по меню:600"},
        };
        for (const auto &c : catalogue) {
            const qint64 id = category.row({QString::fromUtf8(c[0])});
            for (const QString &s : L(c[1])) {
                services.push_back({s.section(QLatin1Char(':'), 0, 0), s.section(QLatin1Char(':'), 1).toInt()});
                service.row({services.back().name, services.back().price, id});
            }
        }

        Inserter pay(m_db, "PLATA", "DATA|FIO|IST|USLUGA|CHEK|SUMMA");
        int receipt = 1000;
        const qint64 count = paymentCount();
        for (qint64 j = 0; j < count; ++j) {
            Visit v;
            if (m_visits.empty()) {
                v = {m_rng.day(kFirstDay, kLastDay), person(58, false).fio, m_rng.range(1, 3000), m_rng.range(1, 10)};
            } else {
                v = m_visits[j % m_visits.size()];
            }
            const Service &s = services[m_rng.range(0, int(services.size()) - 1)];
            receipt += m_rng.range(1, 4);  // other cash desk operations take numbers in between
            pay.row({v.day.addDays(m_rng.range(0, v.days)), v.fio, v.caseNo, s.name, receipt, s.price});
        }
    }

    void directory()
    {
        struct Department {
            const char *name;
            const char *posts;  // the head first
            int phone;          // first internal number
        };
        const Department departments[] = {
            {"Отделение отравлений", "Зав.отделением|Врач-токсиколог|Врач-ординатор|Старшая медсестра|Медсестра", 21100},
            {"Реанимация", "Зав.отделением|Анестезиолог-реаниматолог|Медсестра-анестезист|Медсестра", 21200},
            {"Терапия", "Зав.отделением|Врач-терапевт|Врач-ординатор|Медсестра", 21300},
            {"Приемное отделение", "Зав.отделением|Врач приемного отделения|Медсестра|Санитарка", 21400},
            {"Лаборатория ХТИ", "Зав.лабораторией|Врач-лаборант|Лаборант", 21500},
            {"Администрация", "Главный врач|Зам. главного врача|Главная медсестра|Секретарь", 21000},
        };
        const QStringList femalePosts = L("Старшая медсестра|Медсестра|Медсестра-анестезист|Санитарка|Главная медсестра|"
                                          "Секретарь|Лаборант");
        const QStringList streets = L("Ленина|Мира|Гагарина|Пушкина|Садовая|Советская|Кирова|Лесная|Чехова|Горького");
        Inserter dep(m_db, "OTDEL1", "OTDEL"), staff(m_db, "SOTR", "FIO|DOL|TEL|DOM|ROJD|SOTR");
        for (const Department &d : departments) {
            const qint64 id = dep.row({QString::fromUtf8(d.name)});
            const QStringList posts = L(d.posts);
            const int people = m_rng.range(4, 8);
            for (int k = 0; k < people; ++k) {
                const QString post = k == 0 ? posts[0] : posts[m_rng.range(1, int(posts.size()) - 1)];
                const Person p = person(femalePosts.contains(post) ? 0 : 50, false);
                const QString street = m_rng.pick(streets);
                const int house = m_rng.range(1, 99);
                const QString home = QStringLiteral("ул. %1 %2-%3").arg(street).arg(house).arg(m_rng.range(1, 199));
                staff.row({p.fio, post, m_rng.chance(90) ? QVariant(d.phone + k) : QVariant(), home,
                           m_rng.day(QDate(1955, 1, 1), k == 0 ? QDate(1975, 12, 31) : QDate(2000, 12, 31)), id});
            }
        }

        const QStringList hospitals = L("ГКБ №1 им. Пирогова|Городская больница №2|ЦРБ Заречного района|"
                                        "Областная больница|Детская больница №3|Наркологический диспансер|"
                                        "Психиатрическая больница");
        const QStringList contacts = L("Приемный покой|Справочная|Реанимация|Дежурный врач|Главный врач|Терапия");
        Inserter bol(m_db, "BOL", "BOL"), phones(m_db, "BOL1", "BOL1|BOL2|TELEPHONE");
        for (const QString &h : hospitals) {
            const qint64 id = bol.row({h});
            const int first = m_rng.range(0, int(contacts.size()) - 1), count = m_rng.range(2, 4);
            for (int k = 0; k < count; ++k)
                phones.row({id, contacts[(first + k) % contacts.size()], m_rng.range(2000000, 5999999)});
        }
    }

    void notebook()
    {
        // Each topic with a few lines its notes are made of.
        const char *const topics[][2] = {
            {"Совещание заведующих отделениями",
             "Обсудили загрузку коечного фонда.|Утвердить график отпусков до конца месяца.|"
             "Усилить контроль за ведением историй болезни."},
            {"Поступление антидотов",
             "Получены налоксон и атропин.|Унитиол на складе заканчивается, подать заявку.|"
             "Проверить сроки годности в реанимации."},
            {"График дежурств", "Дежурства на праздники распределены.|Замена в ночь на субботу.|"
                                "Ответственный дежурный врач по приемному отделению."},
            {"Годовой отчет отделения", "Сверить данные журналов с регистром.|Подготовить таблицы по нозологиям.|"
                                        "Сдать отчет в горздрав до 20 января."},
            {"Обучение персонала", "Занятие по сердечно-легочной реанимации.|Зачет по приказам для медсестер.|"
                                   "Пригласить лектора из центра токсикологии."},
            {"Ремонт реанимационного зала", "Ремонт начнется в понедельник.|Больных временно размещать в палате 5.|"
                                            "Проверить вентиляцию после ремонта."},
            {"Конференция по клинической токсикологии",
             "Доклад об отравлениях суррогатами алкоголя.|Разобрать два случая с расхождением диагнозов.|"
             "Тезисы сдать секретарю."},
            {"Проверка санэпиднадзора", "Замечания по хранению дезсредств.|Обновить журнал кварцевания.|"
                                        "Устранить замечания в течение недели."},
            {"Закупка расходных материалов", "Нужны системы для инфузий и катетеры.|Заявку согласовать с главным врачом.|"
                                             "Сорбенты для гемосорбции на исходе."},
            {"Новые методы детоксикации", "Опыт применения плазмафереза.|Подготовить методичку для ординаторов.|"
                                          "Согласовать закупку аппарата."},
        };
        Inserter tema(m_db, "TEMA", "DATA|TEMA"), kniga(m_db, "KNIGA", "ID_TEMA|ZAP");
        const int n = int(std::size(topics));
        const qint64 span = kFirstDay.daysTo(kLastDay);
        for (int t = 0; t < n; ++t) {
            const QDate day = kFirstDay.addDays(span * t / n + m_rng.range(0, int(span / n) - 1));
            const qint64 id = tema.row({day, QString::fromUtf8(topics[t][0])});
            const QStringList lines = L(topics[t][1]);
            const int notes = m_rng.range(1, 3);
            for (int k = 0; k < notes; ++k) {
                QStringList text{day.addDays(k * m_rng.range(1, 14)).toString(QStringLiteral("dd.MM.yyyy"))};
                const int first = m_rng.range(0, int(lines.size()) - 1);
                text << lines[first] << lines[(first + 1) % lines.size()];
                kniga.row({id, text.join(QLatin1Char('\n'))});
            }
        }
    }

    Database &m_db;
    qint64 m_patients;
    Rng m_rng;
    QStringList m_surnames, m_maleNames, m_femaleNames, m_patronymics;
    QHash<QString, int> m_formOf;
    std::vector<QStringList> m_agents, m_codes;  // by form
    std::vector<int> m_allWeights, m_poisonWeights;
    int m_alcohol = -1;
    QHash<QString, qint64> m_codeIds, m_code1Ids;
    std::vector<qint64> m_diagnozIds;
    std::vector<QStringList> m_clinical, m_autopsy;  // by form
    // Group keys by form; somatic forms come last in kForms and exist only for the deceased.
    std::vector<qint64> m_poisonIds, m_therapyIds, m_reanimationIds, m_deceasedIds;
    std::vector<Visit> m_visits;  // some poisoning admissions, for the payments
};

}  // namespace

void fillDemo(Database &db, const DemoOptions &options)
{
    Demo demo(db, options);
    db.exec(QStringLiteral("BEGIN"));
    try {
        demo.run();
        db.exec(QStringLiteral("COMMIT"));
    } catch (...) {
        try {
            db.exec(QStringLiteral("ROLLBACK"));
        } catch (...) {
            // The failed statement may have ended the transaction already; keep the first error.
        }
        throw;
    }
}

}  // namespace orvelan
