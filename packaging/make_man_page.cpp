// Writes the man page tesvane.1 from the command line's own definition, so that it says what
// --help says. Usage: tesvane_make_man_page OUTPUT DATE
#include <fstream>
#include <iostream>
#include <sstream>

#include "app/command_line.hpp"

namespace {

// Text for roff: backslashes and hyphens escaped, no line taken for a request.
std::string roff(const std::string& text) {
    std::string s;
    bool line_start = true;
    for (char ch : text) {
        if (line_start && (ch == '.' || ch == '\''))
            s += "\\&";
        if (ch == '\\')
            s += "\\e";
        else if (ch == '-')
            s += "\\-";
        else
            s += ch;
        line_start = ch == '\n';
    }
    return s;
}

// "--block2 TEXT:{landmarks,variables} [landmarks]" as the heading of an option.
std::string option_heading(const CLI::Option& o) {
    std::string names;
    for (const std::string& n : o.get_snames())
        names += (names.empty() ? "" : ", ") + ("\\fB\\-" + roff(n) + "\\fR");
    for (const std::string& n : o.get_lnames())
        names += (names.empty() ? "" : ", ") + ("\\fB\\-\\-" + roff(n) + "\\fR");
    if (names.empty())
        names = "\\fI" + roff(o.get_name()) + "\\fR";
    std::string type = o.get_type_name();
    if (!type.empty() && o.get_type_size() != 0)
        names += " \\fI" + roff(type) + "\\fR";
    if (!o.get_default_str().empty())
        names += " (default: " + roff(o.get_default_str()) + ")";
    if (o.get_required())
        names += " (required)";
    return names;
}

void write_options(std::ostream& out, const CLI::App& app) {
    for (const CLI::Option* o : app.get_options()) {
        out << ".TP\n" << option_heading(*o) << '\n';
        out << roff(o->get_description()) << '\n';
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: tesvane_make_man_page OUTPUT DATE\n";
        return 2;
    }
    const std::unique_ptr<tesvane::CommandLine> cli = tesvane::make_command_line();
    const CLI::App& app = cli->app;
    std::istringstream version(tesvane::version_text());
    std::string program_line;
    std::getline(version, program_line);

    std::ostringstream out;
    out << ".TH TESVANE 1 \"" << argv[2] << "\" \"" << roff(program_line)
        << "\" \"User Commands\"\n"
        << ".SH NAME\ntesvane \\- " << roff(tesvane::kProgramSummary) << '\n'
        << ".SH SYNOPSIS\n\\fBtesvane\\fR\n.br\n";
    for (const CLI::App* sub : app.get_subcommands({})) {
        out << "\\fBtesvane " << roff(sub->get_name()) << "\\fR [\\fIOPTIONS\\fR]";
        for (const CLI::Option* o : sub->get_options())
            if (o->get_snames().empty() && o->get_lnames().empty())
                out << " \\fI" << roff(o->get_name()) << "\\fR";
        out << "\n.br\n";
    }
    out << "\\fBtesvane\\fR \\fB\\-\\-help\\fR | \\fB\\-\\-version\\fR\n"
        << ".SH DESCRIPTION\n"
        << roff(app.get_description()) << ".\n"
        << ".SH OPTIONS\n";
    write_options(out, app);
    for (const CLI::App* sub : app.get_subcommands({})) {
        out << ".SH \"tesvane " << roff(sub->get_name()) << "\"\n"
            << roff(sub->get_description()) << ".\n";
        write_options(out, *sub);
    }
    out << ".SH NOTES\n" << roff(tesvane::help_footer().substr(1)) << '\n';
    std::string copyright;
    out << ".SH COPYRIGHT\n";
    while (std::getline(version, copyright))
        out << roff(copyright) << "\n.br\n";

    std::ofstream file(argv[1]);
    file << out.str();
    if (!file.flush()) {
        std::cerr << "tesvane_make_man_page: cannot write " << argv[1] << '\n';
        return 1;
    }
    return 0;
}
