#include "workcenter/HostServices.h"

#include "appserver/SqlDialect.h"
#include "module/boundary/HostContract.h"
#include "module/util/DateUtils.h"
#include "platform/sys/CodePage.h"
#include "platform/sys/DateTime.h"
#include "platform/sys/NumberFormat.h"
#include "platform/sys/SysUtils.h"
#include "platform/xml/XmlDocument.h"

#include <cctype>
#include <cmath>

namespace corvane::host {

namespace names = contract::host;
using server::Database;
using server::Statement;

namespace {

const char* const kAllPrograms = "********************";

std::string ToDb(const Session& session, const Variant& value) {
    if (value.Type() == VarType::WideString) {
        return codepage::Utf16ToUtf8(value.ToWideString());
    }
    return codepage::ToUtf8(VarToStr(value), session.CodePage);
}

Variant FromDb(const Session& session, const Statement& row, int col) {
    const Variant value = row.Column(col);
    if (value.Type() == VarType::String) {
        return Variant(codepage::FromUtf8(value.ToString(), session.CodePage));
    }
    return value;
}

std::vector<Variant> Elements(const Variant& array) {
    std::vector<Variant> out;
    if (array.IsArray() && array.DimCount() == 1) {
        for (int i = array.LowBound(); i <= array.HighBound(); ++i) {
            out.push_back(array.At(i));
        }
    } else if (!array.IsEmptyOrNull()) {
        out.push_back(array);
    }
    return out;
}

std::string Catalogued(const std::string& table, const std::string& number) {
    return UpperCase(table) + "/" + number;
}

// The rows of a catalogued query for the given keys.
std::vector<Variant> QueryRows(Session& session, const CatalogueEntry& entry, const std::vector<Variant>& keys) {
    Statement query(*session.Db, entry.Sql);
    for (int i = 0; i < entry.Keys; ++i) {
        query.Bind(i + 1, i < static_cast<int>(keys.size()) ? Variant(ToDb(session, keys[static_cast<size_t>(i)])) : Variant(""));
    }
    std::vector<Variant> rows;
    while (query.Step()) {
        std::vector<Variant> row;
        for (int col = 0; col < query.ColumnCount(); ++col) {
            row.push_back(FromDb(session, query, col));
        }
        rows.push_back(VarArrayOf(row));
    }
    return rows;
}

} // namespace

const std::map<std::string, CatalogueEntry>& CheckCatalogue() {
    static const std::map<std::string, CatalogueEntry> catalogue = {
        // The program's registry row as the broker reads it: title, print program, two transaction
        // parameters, a reserved element, two workflow settings, flag, kind, English title.
        {"ADMMB/06", {"SELECT MB002, MB003, MB005, MB006, MB004, MB007, MB008, MB009, MB010, MB011 FROM ADMMB WHERE MB001=?", 1}},
        {"PALNA/01", {"SELECT NA001, NA002, NA003 FROM PALNA WHERE NA001=?", 1}},
        {"PALMB/04", {"SELECT MB002, MB001, MB003 FROM PALMB WHERE MB001=?", 1}},
        {"PALNC/01", {"SELECT NC001, NC002, NC003, NC005, NC004, NC007, NC006 FROM PALNC WHERE NC001=?", 1}},
        {"INVMB/12", {"SELECT MB001, MB002, MB003 FROM INVMB WHERE MB001=?", 1}},
        {"F2LINK/01", {"SELECT LK003, LK004 FROM F2LINK WHERE LK001=? AND LK002=?", 2}},
        {"NUMFD/01", {"SELECT FD002, FD003 FROM NUMFD WHERE FD001=?", 1}},
        {"CMSMF/01", {"SELECT MF001, MF002, MF003, MF004 FROM CMSMF WHERE MF001=?", 1}},
    };
    return catalogue;
}

const std::map<std::string, CatalogueEntry>& LookupCatalogue() {
    static const std::map<std::string, CatalogueEntry> catalogue = {
        {"PALMB/03", {"SELECT MB001, MB002, MB003 FROM PALMB ORDER BY MB001", 0, {"编号", "名称", "类别"}}},
        {"PALNC/01", {"SELECT NC001, NC002, NC004, NC006 FROM PALNC ORDER BY NC001", 0, {"编号", "名称", "金额取位", "进位原则"}}},
        {"PALNA/01", {"SELECT NA001, NA002, NA003 FROM PALNA ORDER BY NA001", 0, {"身份类型", "身份名称", "备注"}}},
        {"CMSMF/01", {"SELECT MF001, MF002 FROM CMSMF ORDER BY MF001", 0, {"币别", "名称"}}},
        {"INVMB/63", {"SELECT MB001, MB002, MB003 FROM INVMB ORDER BY MB001", 0, {"品号", "品名", "规格"}}},
    };
    return catalogue;
}

Variant RunSimpleSql(Session& session, const std::string& sql, const std::string& fields) {
    const std::string text = server::RewriteDialect(sql, session.DBName);
    Database::Confined query(*session.Db, text, session.Db->TableNames(), session.QueryLimit);
    std::vector<int> columns;
    std::vector<std::string> wanted;
    for (size_t start = 0; start <= fields.size();) {
        const size_t end = std::min(fields.find(',', start), fields.size());
        const std::string name = Trim(fields.substr(start, end - start));
        if (!name.empty()) {
            wanted.push_back(name);
        }
        start = end + 1;
    }
    for (const std::string& name : wanted) {
        int found = -1;
        for (int col = 0; col < query.Query().ColumnCount(); ++col) {
            if (SameText(query.Query().ColumnName(col), name)) {
                found = col;
                break;
            }
        }
        if (found < 0) {
            throw Exception("The query has no column " + name);
        }
        columns.push_back(found);
    }
    if (wanted.empty()) {
        for (int col = 0; col < query.Query().ColumnCount(); ++col) {
            columns.push_back(col);
        }
    }
    std::vector<Variant> rows;
    while (query.Step()) {
        std::vector<Variant> row;
        for (int col : columns) {
            row.push_back(FromDb(session, query.Query(), col));
        }
        rows.push_back(VarArrayOf(row));
    }
    return rows.empty() ? Variant() : VarArrayOf(rows);
}

void RunTransactionSql(Session& session, const Variant& statements) {
    const std::set<std::string> tables = session.Db->TableNames();
    session.Db->InTransaction([&] {
        for (const Variant& statement : Elements(statements)) {
            const std::string text = server::RewriteDialect(ToDb(session, statement), session.DBName);
            if (Trim(text).empty()) {
                continue;
            }
            Database::Confined run(*session.Db, text, tables, session.QueryLimit, true);
            while (run.Step()) {
            }
        }
    });
}

// ---- Com_Validator ----

Validator::Validator(std::shared_ptr<Session> session) : DispatchObject("Com_Validator"), m_session(std::move(session)) {
    DefineProperty(names::BaseLimited, [this] { return Variant(BaseLimited); },
                   [this](const Variant& value) { BaseLimited = VarToStr(value); });
    DefineMethod(names::CheckValue, [this](Args& args) { return Variant(Check(args)); });
    DefineMethod(names::QueryData, [this](Args& args) { return Variant(Check(args)); });
    DefineMethod(names::QueryMaxSeq, [this](Args& args) {
        // (table, key fields, values of all but the last key, date, program, db, var next)
        const std::string table = UpperCase(VarToStr(ArgAt(args, 0)));
        if (!m_session->Db->TableNames().count(table)) {
            throw EOleError("There is no table " + table);
        }
        std::vector<std::string> keys;
        const std::string list = VarToStr(ArgAt(args, 1));
        for (size_t start = 0; start <= list.size();) {
            const size_t end = std::min(list.find(',', start), list.size());
            const std::string name = Trim(list.substr(start, end - start));
            if (!name.empty() && name.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789_") == std::string::npos) {
                keys.push_back(name);
            }
            start = end + 1;
        }
        if (keys.empty()) {
            return Variant(false);
        }
        std::string sql = "SELECT MAX(CAST(" + keys.back() + " AS INTEGER)), MAX(LENGTH(" + keys.back() + ")) FROM " + table;
        const std::vector<Variant> values = Elements(ArgAt(args, 2));
        for (size_t i = 0; i + 1 < keys.size(); ++i) {
            sql += (i ? " AND " : " WHERE ") + keys[i] + "=?";
        }
        Statement query(*m_session->Db, sql);
        for (size_t i = 0; i + 1 < keys.size(); ++i) {
            query.Bind(static_cast<int>(i) + 1, i < values.size() ? Variant(ToDb(*m_session, values[i])) : Variant(""));
        }
        query.Step();
        const int64_t next = (query.IsNull(0) ? 0 : query.Int(0)) + 1;
        const int width = query.IsNull(1) ? 4 : static_cast<int>(query.Int(1));
        std::string number = std::to_string(next);
        if (static_cast<int>(number.size()) < width) {
            number.insert(0, static_cast<size_t>(width) - number.size(), '0');
        }
        if (args.size() > 6) {
            args[6] = number;
        }
        return Variant(true);
    });
}

bool Validator::Check(Args& args) {
    const auto& catalogue = CheckCatalogue();
    auto it = catalogue.find(Catalogued(VarToStr(ArgAt(args, 0)), VarToStr(ArgAt(args, 1))));
    if (it == catalogue.end()) {
        return false;
    }
    const std::vector<Variant> rows = QueryRows(*m_session, it->second, Elements(ArgAt(args, 3)));
    if (rows.empty()) {
        return false;
    }
    if (args.size() > 4) {
        args[4] = rows.front();
    }
    return true;
}

// ---- Com_F2Window ----

F2Window::F2Window(std::shared_ptr<Session> session, std::shared_ptr<Pickers> pickers)
    : DispatchObject("Com_F2Window"), m_session(std::move(session)), m_pickers(std::move(pickers)) {
    DefineMethod(names::F2GetData, [this](Args& args) {
        const Variant& request = ArgAt(args, 0);
        if (!request.IsArray() || request.Length() < 2) {
            throw EOleError("F2GetData needs the 19-element lookup array");
        }
        const int low = request.LowBound();
        const std::string table = VarToStr(request.At(low));
        const std::string number = VarToStr(request.At(low + 1));
        const auto& catalogue = LookupCatalogue();
        auto it = catalogue.find(Catalogued(table, number));
        if (it == catalogue.end()) {
            throw EOleError("There is no lookup " + number + " of table " + table);
        }
        std::vector<std::vector<std::string>> rows;
        for (const Variant& row : QueryRows(*m_session, it->second, {})) {
            std::vector<std::string> texts;
            for (const Variant& value : row.Array().Elements()) {
                texts.push_back(codepage::ToUtf8(VarToStr(value), m_session->CodePage));
            }
            rows.push_back(texts);
        }
        const bool multiple = request.Length() > 3 && request.At(low + 3).ToBool();
        const Variant picked = m_pickers && m_pickers->PickRows ? m_pickers->PickRows(table, it->second.Columns, rows, multiple)
                                                               : Variant();
        if (!picked.IsArray()) {
            return Variant();
        }
        // Picked rows come back in the database code page.
        Variant answer = picked;
        for (Variant& row : answer.Array().Elements()) {
            for (Variant& value : row.Array().Elements()) {
                value = codepage::FromUtf8(VarToStr(value), m_session->CodePage);
            }
        }
        return answer;
    });
    DefineMethod(names::ShowInputDay, [this](Args& args) {
        // The calendar answers the date in the company's date format (SYS001 type, SYS002 separator).
        const Variant& request = ArgAt(args, 0);
        const std::string typed = request.IsArray() && request.Length() > 1 ? VarToStr(request.At(request.LowBound() + 1)) : "";
        std::string type = "1";
        std::string separator = "/";
        Statement params(*m_session->Db, "SELECT NAME, VALUE FROM SYSPARAM WHERE COMPANY=? AND NAME IN ('SYS001','SYS002')");
        params.Bind(1, m_session->Company);
        while (params.Step()) {
            (params.Text(0) == "SYS001" ? type : separator) = params.Text(1);
        }
        long long dateType = 1;
        TryParseInt(type, dateType);
        const std::string stored = typed.empty() ? std::string() : DateTextToYYYYMMDD(typed, static_cast<int>(dateType), separator);
        const std::string picked = m_pickers && m_pickers->PickDate ? m_pickers->PickDate(stored == "0" ? std::string() : stored)
                                                                   : std::string();
        const TDateTime date = YYYYMMDDToDate(picked);
        return Variant(date == 0 ? typed : FormatDateByType(static_cast<int>(dateType), separator, date));
    });
    DefineMethod(names::GetPhrase2, [this](Args& args) {
        std::vector<std::string> phrases;
        Statement read(*m_session->Db, "SELECT PHRASE FROM PHRASE WHERE USER_ID=? AND COMPANY=? ORDER BY rowid");
        read.Bind(1, VarToStr(ArgAt(args, 0)));
        read.Bind(2, VarToStr(ArgAt(args, 1)));
        while (read.Step()) {
            phrases.push_back(read.Text(0));
        }
        const std::vector<std::string> before = phrases;
        std::string picked = codepage::ToUtf8(VarToStr(ArgAt(args, 3)), m_session->CodePage);
        const bool ok = m_pickers && m_pickers->PickPhrase && m_pickers->PickPhrase(phrases, picked);
        if (phrases != before) {
            m_session->Db->InTransaction([&] {
                Statement clear(*m_session->Db, "DELETE FROM PHRASE WHERE USER_ID=? AND COMPANY=?");
                clear.Bind(1, VarToStr(ArgAt(args, 0)));
                clear.Bind(2, VarToStr(ArgAt(args, 1)));
                clear.Step();
                for (const std::string& phrase : phrases) {
                    Statement add(*m_session->Db, "INSERT INTO PHRASE (USER_ID, COMPANY, PHRASE) VALUES (?,?,?)");
                    add.Bind(1, VarToStr(ArgAt(args, 0)));
                    add.Bind(2, VarToStr(ArgAt(args, 1)));
                    add.Bind(3, phrase);
                    add.Step();
                }
            });
        }
        if (!ok) {
            return Variant(-1);
        }
        if (args.size() > 3) {
            args[3] = codepage::FromUtf8(picked, m_session->CodePage);
        }
        return Variant(0);
    });
    DefineMethod(names::ShowCharaters, [this](Args& args) {
        const int kind = ArgAt(args, 2).IsEmptyOrNull() ? 0 : ArgAt(args, 2).ToInt();
        const std::string picked = m_pickers && m_pickers->PickCharacter ? m_pickers->PickCharacter(kind) : std::string();
        return Variant(codepage::FromUtf8(picked, m_session->CodePage));
    });
    DefineMethod(names::GetCalcValue, [](Args& args) {
        double value = 0;
        if (!EvaluateExpression(VarToStr(ArgAt(args, 0)), value)) {
            return Variant(std::string());
        }
        return Variant(FloatToStr(value));
    });
}

// ---- Com_Counter ----

Counter::Counter(std::shared_ptr<Session> session) : DispatchObject("Com_Counter"), m_session(std::move(session)) {
    DefineMethod(names::GETCOUNTER, [this](Args& args) { return GetCounter(VarToStr(ArgAt(args, 0)), ArgAt(args, 1)); });
    DefineMethod(names::GetSysInfo, [this](Args& args) {
        Statement read(*m_session->Db, "SELECT NAME, VALUE FROM SYSPARAM WHERE COMPANY=? ORDER BY NAME");
        read.Bind(1, VarToStr(ArgAt(args, 0)));
        std::vector<std::pair<std::string, std::string>> params;
        while (read.Step()) {
            params.emplace_back(read.Text(0), codepage::FromUtf8(read.Text(1), m_session->CodePage));
        }
        if (params.empty()) {
            return Variant();
        }
        Variant grid = VarArrayCreate({0, 1, 0, static_cast<int>(params.size()) - 1});
        for (size_t i = 0; i < params.size(); ++i) {
            grid.At(0, static_cast<int>(i)) = params[i].first;
            grid.At(1, static_cast<int>(i)) = params[i].second;
        }
        return grid;
    });
}

Variant Counter::GetCounter(const std::string& function, const Variant& params) {
    const std::vector<Variant> p = Elements(params);
    const auto at = [&](size_t i) { return i < p.size() ? p[i] : Variant(); };
    if (SameText(function, names::SimpleSQL)) {
        return RunSimpleSql(*m_session, ToDb(*m_session, at(0)), VarToStr(at(1)));
    }
    if (SameText(function, names::TransactionSQL)) {
        RunTransactionSql(*m_session, at(0));
        return Variant();
    }
    if (SameText(function, names::GetUserDefine)) {
        // [company, user, program, name]: this program's document, else the one for all programs.
        for (const std::string& program : {VarToStr(at(2)), std::string(kAllPrograms)}) {
            Statement read(*m_session->Db, "SELECT CONTENT FROM USERDEFINE WHERE COMPANY=? AND USER_ID=? AND PROGRAM=? AND KIND=?");
            read.Bind(1, VarToStr(at(0)));
            read.Bind(2, VarToStr(at(1)));
            read.Bind(3, program);
            read.Bind(4, VarToStr(at(3)));
            if (read.Step()) {
                return Variant(read.Text(0));
            }
        }
        return Variant(std::string());
    }
    if (SameText(function, names::SetUserDefine)) {
        // [company, user, program, "Name/Element" or ".", value]
        const std::string path = VarToStr(at(3));
        std::string name;
        std::string content;
        if (path == ".") {
            const xml::XmlDocument doc = xml::XmlDocument::Parse(VarToStr(at(4)));
            name = doc.DocumentElement().Name();
            content = VarToStr(at(4));
        } else {
            const size_t slash = path.find('/');
            if (slash == std::string::npos) {
                throw EOleError("SetUserDefine needs a key path Name/Element");
            }
            name = path.substr(0, slash);
            xml::XmlDocument doc;
            const Variant current = GetCounter(std::string(names::GetUserDefine), VarArrayOf({at(0), at(1), at(2), name}));
            if (VarToStr(current).empty() || !doc.LoadXml(VarToStr(current))) {
                doc.CreateRoot(name);
            }
            xml::XmlNode root = doc.DocumentElement();
            xml::XmlNode element = root.Child(path.substr(slash + 1));
            if (element.IsNull()) {
                element = root.AppendChild(path.substr(slash + 1));
            }
            element.SetText(VarToStr(at(4)));
            content = doc.Xml();
        }
        Statement write(*m_session->Db, "INSERT OR REPLACE INTO USERDEFINE (COMPANY, USER_ID, PROGRAM, KIND, CONTENT) VALUES (?,?,?,?,?)");
        write.Bind(1, VarToStr(at(0)));
        write.Bind(2, VarToStr(at(1)));
        write.Bind(3, VarToStr(at(2)));
        write.Bind(4, name);
        write.Bind(5, content);
        write.Step();
        return Variant(std::string());
    }
    if (SameText(function, names::QueryUDFData)) {
        // No formulas of user-defined fields are kept: nothing to compute.
        return Variant();
    }
    if (SameText(function, names::INSERTWDJOB)) {
        // No sign-off flow is defined for any program: the answer the module reports as "no flow".
        return Variant(1);
    }
    if (SameText(function, names::GetWDApprove)) {
        return Variant();
    }
    throw EOleError("The counter function " + function + " is not available in this work center");
}

// ---- Host ----

HostObject::HostObject(std::shared_ptr<Session> session, std::shared_ptr<Pickers> pickers)
    : DispatchObject("Host"),
      m_session(session),
      m_validator(std::make_shared<Validator>(session)),
      m_f2Window(std::make_shared<F2Window>(session, pickers)),
      m_counter(std::make_shared<Counter>(session)) {
    DefineProperty(names::DependencyVersion, [this] { return Variant(Version); });
    DefineProperty(names::Com_Validator, [this] { return Variant(std::static_pointer_cast<Dispatch>(m_validator)); });
    DefineProperty(names::Com_F2Window, [this] { return Variant(std::static_pointer_cast<Dispatch>(m_f2Window)); });
    DefineProperty(names::Com_Counter, [this] { return Variant(std::static_pointer_cast<Dispatch>(m_counter)); });
    DefineMethod(names::GetMessage, [this](Args& args) {
        return Variant(MessageText(VarToStr(ArgAt(args, 0)), VarToStr(ArgAt(args, 1))));
    });
    DefineMethod(names::ExecWork, [this](Args& args) {
        const Variant& program = ArgAt(args, 0);
        const Variant& options = ArgAt(args, 2);
        const std::vector<Variant> opts = Elements(options);
        if (!opts.empty() && opts[0].ToInt() == 6) {
            // A print request of a document.
            if (Inform) {
                Inform("Print request for " + VarToStr(program) + ": " + VarToStr(opts.size() > 2 ? opts[2] : Variant()));
            }
            if (args.size() > 4) {
                args[4] = true;
            }
            return Variant(0);
        }
        const std::vector<Variant> parts = Elements(program);
        const std::string code = parts.size() > 2 ? UpperCase(VarToStr(parts[2])) : std::string();
        if (code == names::MessageProgram) {
            if (Inform) {
                const std::vector<Variant> params = Elements(ArgAt(args, 1));
                Inform(params.size() > 1 ? VarDebugText(params[1]) : std::string("(message)"));
            }
            return Variant(0);
        }
        const int rc = StartProgram ? StartProgram(code, ArgAt(args, 1), options) : -1;
        return Variant(rc);
    });
    DefineMethod(names::CallHelp, [this](Args& args) {
        const std::vector<Variant> topic = Elements(ArgAt(args, 0));
        const std::string file = m_session->ClientPath + "Help/" + (topic.empty() ? "" : VarToStr(topic[0])) + "/" +
                                 (topic.size() > 1 ? VarToStr(topic[1]) : "index") + ".html";
        if (Inform) {
            Inform(FileExists(file) ? "Help: " + file : "There is no help for this topic (" + file + ")");
        }
        return Variant();
    });
}

std::string HostObject::MessageText(const std::string& type, const std::string& code) const {
    const std::string column = m_session->UICodePage == "437" ? "ENG" : "CHS";
    Statement read(*m_session->Db, "SELECT " + column + " FROM ADMMSG WHERE MSGTYPE=? AND MSGCODE=?");
    read.Bind(1, type);
    read.Bind(2, code);
    if (read.Step()) {
        return codepage::FromUtf8(read.Text(0), column == "ENG" ? "1252" : m_session->CodePage);
    }
    return "Message " + type + " " + code + " is not in the message table.";
}

// ---- calculator ----

namespace {

class Parser {
public:
    explicit Parser(const std::string& text) : m_text(text) {}
    bool Parse(double& value) {
        if (!Sum(value)) {
            return false;
        }
        Skip();
        return m_pos == m_text.size() && std::isfinite(value);
    }

private:
    void Skip() {
        while (m_pos < m_text.size() && std::isspace(static_cast<unsigned char>(m_text[m_pos]))) {
            ++m_pos;
        }
    }
    bool Sum(double& value) {
        if (!Product(value)) {
            return false;
        }
        for (Skip(); m_pos < m_text.size() && (m_text[m_pos] == '+' || m_text[m_pos] == '-'); Skip()) {
            const char op = m_text[m_pos++];
            double right = 0;
            if (!Product(right)) {
                return false;
            }
            value = op == '+' ? value + right : value - right;
        }
        return true;
    }
    bool Product(double& value) {
        if (!Factor(value)) {
            return false;
        }
        for (Skip(); m_pos < m_text.size() && (m_text[m_pos] == '*' || m_text[m_pos] == '/'); Skip()) {
            const char op = m_text[m_pos++];
            double right = 0;
            if (!Factor(right) || (op == '/' && right == 0)) {
                return false;
            }
            value = op == '*' ? value * right : value / right;
        }
        return true;
    }
    bool Factor(double& value) {
        if (++m_depth > 200) {
            return false;
        }
        Skip();
        if (m_pos < m_text.size() && (m_text[m_pos] == '-' || m_text[m_pos] == '+')) {
            const bool negative = m_text[m_pos++] == '-';
            if (!Factor(value)) {
                return false;
            }
            value = negative ? -value : value;
            --m_depth;
            return true;
        }
        if (m_pos < m_text.size() && m_text[m_pos] == '(') {
            ++m_pos;
            if (!Sum(value)) {
                return false;
            }
            Skip();
            if (m_pos >= m_text.size() || m_text[m_pos] != ')') {
                return false;
            }
            ++m_pos;
            --m_depth;
            return true;
        }
        const size_t start = m_pos;
        while (m_pos < m_text.size() && (std::isdigit(static_cast<unsigned char>(m_text[m_pos])) || m_text[m_pos] == '.')) {
            ++m_pos;
        }
        --m_depth;
        return m_pos > start && TryStrToFloat(m_text.substr(start, m_pos - start), value);
    }

    const std::string& m_text;
    size_t m_pos = 0;
    int m_depth = 0;
};

} // namespace

bool EvaluateExpression(const std::string& text, double& value) {
    Parser parser(text);
    return parser.Parse(value);
}

} // namespace corvane::host
