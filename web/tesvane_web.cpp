// The entry points of the WebAssembly module. The page's worker (and node, in the tests) writes
// the user's files into the module's in-memory folder /data, then runs the steps of the main
// window through one WebSession. Every entry returns text that stays valid until the next call.
#include <emscripten.h>

#include <memory>
#include <new>
#include <nlohmann/json.hpp>
#include <string>

#include "web/web_session.hpp"

namespace {

// clang-format off
EM_JS(void, post_progress, (double fraction, const char* what), {
    if (Module["onProgress"]) Module["onProgress"](fraction, UTF8ToString(what));
});
// clang-format on

void send_progress(double fraction, const std::string& what) {
    post_progress(fraction, what.c_str());
}

std::unique_ptr<tesvane::WebSession> session;
std::string answer;

tesvane::WebSession& current() {
    if (!session)
        session = std::make_unique<tesvane::WebSession>("/data", send_progress);
    return *session;
}

const char* give(std::string text) {
    answer = std::move(text);
    return answer.c_str();
}

// Text that is not UTF-8 (a file name, a message quoting a file) becomes U+FFFD, not an error.
const char* give_json(const nlohmann::json& j) {
    return give(j.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace));
}

// {"ok": true, key: what make() gave} or {"ok": false, "error": why}: an exception must not
// leave the module, where the page would see only "[object WebAssembly.Exception]".
template <class Make>
const char* give_or_error(const char* key, Make make) {
    nlohmann::json j;
    try {
        j = {{"ok", true}, {key, make()}};
    } catch (const std::exception& e) {
        j = {{"ok", false}, {"error", e.what()}};
    }
    return give_json(j);
}

}  // namespace

extern "C" {

// Starts a fresh session, as a newly opened program.
EMSCRIPTEN_KEEPALIVE const char* tv_reset() {
    session = std::make_unique<tesvane::WebSession>("/data", send_progress);
    return give(session->state());
}

EMSCRIPTEN_KEEPALIVE const char* tv_interface() {
    return give(tesvane::WebSession::interface_json());
}

EMSCRIPTEN_KEEPALIVE const char* tv_step(const char* request) {
    try {
        return give(current().step(request));
    } catch (const std::exception& e) {
        // The step's own failures are in its answer; this is the answer failing (memory).
        const bool memory = dynamic_cast<const std::bad_alloc*>(&e) != nullptr;
        const nlohmann::json j = {
            {"ok", false},
            {"error",
             memory ? "There is not enough memory in the page to finish this step" : e.what()},
            {"messages", nlohmann::json::array()},
            {"declined", nlohmann::json::array()}};
        return give_json(j);
    }
}

EMSCRIPTEN_KEEPALIVE const char* tv_state() {
    return give(current().state());
}

EMSCRIPTEN_KEEPALIVE const char* tv_figure_svg() {
    return give(current().figure_svg());
}

// {"ok": true, "json": text} or {"ok": false, "error": why} (before the analysis).
EMSCRIPTEN_KEEPALIVE const char* tv_results_json() {
    return give_or_error("json", [] { return current().results_json(); });
}

// {"ok": true, "script": text} or {"ok": false, "error": why}.
EMSCRIPTEN_KEEPALIVE const char* tv_script() {
    return give_or_error("script", [] { return current().script(); });
}

EMSCRIPTEN_KEEPALIVE const char* tv_note_saved_figure(const char* name) {
    current().note_saved_figure(name);
    return give("");
}

EMSCRIPTEN_KEEPALIVE const char* tv_replay(const char* script_text) {
    return give(current().replay(script_text));
}
}
