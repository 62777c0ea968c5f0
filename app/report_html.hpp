// The report file: one self-contained HTML page with the provenance, the tables, the figures as
// inline SVG and a methods paragraph. It needs no scripts and loads nothing from elsewhere, and
// its print style gives clean pages.
#pragma once

#include <string>
#include <vector>

#include "app/provenance.hpp"
#include "app/results_summary.hpp"

namespace tesvane {

struct ReportFigure {
    std::string caption;
    std::string svg;  // one <svg> element, ready to sit in the page (see inline_svg)
};

// Text with &, <, > and both quotes written as character references.
std::string html_escape(const std::string& text);

// An SVG document made fit to sit in a page beside others: the XML prolog, doctype and comments
// dropped, every id given `prefix` (and the references to it), and no fixed size so that the
// page's style sets it. The empty text when `document` holds no <svg> element.
std::string inline_svg(const std::string& document, const std::string& prefix);

std::string report_html(const Provenance& p, const ResultsSummary& s,
                        const std::vector<ReportFigure>& figures);

}  // namespace tesvane
