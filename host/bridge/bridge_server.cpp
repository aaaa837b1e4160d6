#include "bridge_server.h"

#include <array>
#include <optional>
#include <string>

#include "frame_driver.h"
#include "in_process_gauge.h"
#include "loaded_module.h"
#include "mouse_dispatcher.h"
#include "protocol.h"
#include "variable_store.h"

namespace panel::bridge {
namespace {

// A gauge's failure as the in-process gauge words it, less the module's path in this process:
// the host names the module its own way.
std::string without_module(const std::string& message, const std::string& module) {
    const std::string prefix = module + ": ";
    return message.starts_with(prefix) ? message.substr(prefix.size()) : message;
}

// Reads exactly `n` bytes; how many it got when the stream ends first.
size_t read_fully(std::FILE* in, uint8_t* into, size_t n) {
    size_t got = 0;
    while (got < n) {
        const size_t read = std::fread(into + got, 1, n - got, in);
        if (read == 0) break;
        got += read;
    }
    return got;
}

// What one request leaves: its phases' logs (one, or three for a frame).
struct Answer {
    std::array<EventLog, 3> logs;
};

// Runs one request against the gauge; throws HostError for a call that failed and
// VariableError for values the store refuses.
void carry_out(const Request& request, InProcessGauge& gauge, VariableStore& store, Answer& answer) {
    apply_variables(request.variables, store);
    HostCalls calls{store, answer.logs[0]};
    switch (request.kind) {
        case Kind::open: gauge.open(calls); break;
        case Kind::close:
            gauge.close(calls);
            store.end_frame();
            break;
        case Kind::service:
            gauge.call_gauge(request.service_id, calls);
            if (request.service_id == SERVICE_PRE_DRAW) store.end_frame();
            break;
        case Kind::elements: gauge.update_elements(calls); break;
        case Kind::frame:
            gauge.run_frame(store, {answer.logs[0], answer.logs[1], answer.logs[2]});
            store.end_frame();
            break;
        case Kind::click: {
            size_t area = request.area;
            if (request.area == area_at_point) {
                const MouseDispatcher mouse(gauge.records());
                const std::optional<size_t> under = mouse.area_at(request.x, request.y);
                if (!under || !mouse.takes(*under, request.event_class)) return;  // nothing to call
                area = *under;
            }
            gauge.click_area(area, request.event_class, request.x, request.y, calls);
            break;
        }
        default: break;
    }
}

}  // namespace

bool BridgeServer::send(const std::vector<uint8_t>& bytes) {
    return std::fwrite(bytes.data(), 1, bytes.size(), out_) == bytes.size() && std::fflush(out_) == 0;
}

int BridgeServer::run(const std::filesystem::path& module) {
    std::optional<InProcessGauge> gauge;
    try {
        gauge.emplace(module);
    } catch (const std::exception& error) {
        send(encode_failed(Failure::module, error.what()));
        return 1;
    }
    const std::string module_name = gauge->module().name();
    if (!send(encode_ready(gauge->records(), gauge->record_lines(), gauge->elements()))) return 2;

    VariableStore store;
    Answer answer;
    std::array<uint8_t, header_bytes> header{};
    Message message{Kind::quit, {}};
    for (;;) {
        const size_t got = read_fully(in_, header.data(), header.size());
        if (got == 0) return 0;  // the host closed its end
        if (got < header.size()) {
            send(encode_failed(Failure::request, "a request cut off in its header"));
            return 2;
        }
        try {
            const Header head = read_header(header);
            message.kind = head.kind;
            message.payload.resize(head.payload_bytes);
        } catch (const ProtocolError& error) {
            // The stream cannot be followed past a header that makes no sense.
            send(encode_failed(Failure::request, error.what()));
            return 2;
        }
        if (read_fully(in_, message.payload.data(), message.payload.size()) < message.payload.size()) {
            send(encode_failed(Failure::request, std::string("a ") + kind_name(message.kind) + " request cut off"));
            return 2;
        }

        std::vector<uint8_t> reply;
        try {
            const Request request = decode_request(message);
            if (request.kind == Kind::quit) return 0;
            for (EventLog& log : answer.logs) log.clear();
            carry_out(request, *gauge, store, answer);
            const EventLog* logs[] = {&answer.logs[0], &answer.logs[1], &answer.logs[2]};
            reply = encode_done(std::span(logs, phase_count(request.kind)), gauge->elements());
        } catch (const ProtocolError& error) {
            reply = encode_failed(Failure::request, error.what());
        } catch (const VariableError& error) {
            reply = encode_failed(Failure::request, error.what());
        } catch (const HostError& error) {
            reply = encode_failed(Failure::gauge, without_module(error.what(), module_name));
        }
        if (garbage_) {
            reply.assign(reply.size() + 16, 0);
            for (size_t i = 0; i < reply.size(); ++i) reply[i] = static_cast<uint8_t>(0x5a ^ (i * 37));
        }
        if (!send(reply)) return 2;
    }
}

}  // namespace panel::bridge
