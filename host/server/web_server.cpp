#include "web_server.h"

#include <utility>  // before Asio, whose awaitable.hpp uses std::exchange without it

#include <atomic>
#include <boost/asio.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>
#include <boost/beast/websocket.hpp>
#include <cstdio>
#include <deque>
#include <map>
#include <nlohmann/json.hpp>
#include <set>
#include <stdexcept>
#include <thread>

#include "client_message.h"
#include "origin_check.h"
#include "pages.h"

namespace panel::server {
namespace {

namespace beast = boost::beast;
namespace http = beast::http;
namespace websocket = beast::websocket;
namespace net = boost::asio;
using tcp = net::ip::tcp;
using namespace std::chrono_literals;

// A page's state line comes once a second; a flight that has shown no frame for this long is
// stale (stopped, or hung).
constexpr auto heartbeat = 1s;
constexpr auto stale_after = 2s;
constexpr auto state_wait = 2s;
// Texts waiting for a slow client beyond these are dropped, oldest first: each says the state
// as it is now, so only the last matters.
constexpr size_t waiting_texts = 4;
constexpr size_t http_connections_per_client = 4;

std::string peer_of(const tcp::socket& socket) {
    beast::error_code error;
    const tcp::endpoint peer = socket.remote_endpoint(error);
    if (error) return "a client";
    return peer.address().to_string() + ":" + std::to_string(peer.port());
}

void log_line(const std::string& line) {
    std::fprintf(stderr, "serve: %s\n", line.c_str());
}

// The pictures of one view: the newest, and what a client that has the one before it needs.
struct Channel {
    Picture current, taken;
    uint64_t base = 0;  // the picture `update` applies to
    std::shared_ptr<const std::string> update;
    std::shared_ptr<const std::string> whole;  // of `current`, made when first needed
};

}  // namespace

class WebServer::Impl {
public:
    class Socket;
    class Http;

    Impl(const ServerSetup& setup, const PanelLayout& layout, HandOff& hand_off, frontend::InputQueue& input,
         frontend::FrontEnd* from);
    ~Impl();

    std::string url() const { return url_; }
    void pictures_ready();
    size_t clients() const { return clients_.load(); }

    // The server's thread only, from here on.
    void accept();
    void on_heartbeat();
    void take_pictures();
    Channel& channel(View view) { return channels_[view]; }
    std::shared_ptr<const std::string> whole(Channel& channel);
    void join(Socket* socket);
    void leave(Socket* socket);
    void views_changed();
    std::string state_text() const;

    const ServerSetup setup_;
    const PanelLayout& layout_;
    HandOff& hand_off_;
    frontend::InputQueue& input_;
    frontend::FrontEnd* from_;
    Pages pages_;
    // Before the io_context: the sockets its pending handlers hold look at these as they go.
    bool stopping_ = false;
    std::set<Socket*> sockets_;
    std::map<View, Channel> channels_;
    std::atomic<size_t> clients_ = 0;
    size_t connections_ = 0;  // HTTP connections open, upgraded or not yet
    std::atomic<bool> pictures_posted_ = false;
    std::string url_;
    net::io_context io_;
    tcp::acceptor acceptor_;
    net::steady_timer heartbeat_, accept_pause_;
    std::thread thread_;
};

// One WebSocket client: the pictures of its view as it can take them (never a backlog: when it
// is ready for more it gets the newest), the flight's state once a second, its input handed on.
class WebServer::Impl::Socket : public std::enable_shared_from_this<Socket> {
public:
    Socket(Impl& server, tcp::socket&& socket) : server_(server), peer_(peer_of(socket)), ws_(std::move(socket)) {
        ++server_.clients_;
    }
    ~Socket() {
        if (server_.stopping_) return;
        --server_.clients_;
        server_.leave(this);
    }

    const View& view() const { return view_; }

    void start(http::request<http::string_body> request) {
        ws_.set_option(websocket::stream_base::timeout::suggested(beast::role_type::server));
        ws_.read_message_max(largest_message);
        ws_.async_accept(request, [self = shared_from_this()](beast::error_code error) {
            if (error) return;
            self->server_.join(self.get());
            self->send(self->server_.state_text());
            self->read();
        });
    }

    void send(std::string text) {
        if (texts_.size() >= waiting_texts) texts_.pop_front();
        texts_.push_back(std::make_shared<const std::string>(std::move(text)));
        pump();
    }

    // Writes what is due next, one message at a time.
    void pump() {
        if (writing_ || closing_) return;
        std::shared_ptr<const std::string> message;
        bool binary = false;
        if (!texts_.empty()) {
            message = std::move(texts_.front());
            texts_.pop_front();
        } else {
            Channel& channel = server_.channel(view_);
            if (channel.current.number == 0 || has_ == channel.current.number) return;
            message = has_ == channel.base && channel.update ? channel.update : server_.whole(channel);
            has_ = channel.current.number;
            binary = true;
        }
        writing_ = true;
        ws_.binary(binary);
        ws_.async_write(net::buffer(*message), [self = shared_from_this(), message](beast::error_code error, size_t) {
            self->writing_ = false;
            if (!error) self->pump();
        });
    }

private:
    void read() {
        ws_.async_read(buffer_, [self = shared_from_this()](beast::error_code error, size_t) {
            if (error) {
                if (error == websocket::error::message_too_big) log_line(self->peer_ + ": a message too long; closed");
                return;
            }
            self->on_message();
        });
    }

    void on_message() {
        if (!ws_.got_text()) return refuse("a binary message");
        const std::string text = beast::buffers_to_string(buffer_.data());
        buffer_.consume(buffer_.size());
        const auto given = read_client_message(text, server_.layout_.width, server_.layout_.height);
        if (const Refusal* refusal = std::get_if<Refusal>(&given)) return refuse(refusal->reason);
        const ClientMessage& message = std::get<ClientMessage>(given);
        if (const View* view = std::get_if<View>(&message.what)) {
            if (*view != view_) {
                view_ = *view;
                has_ = 0;
                server_.views_changed();
            }
        } else if (server_.setup_.view_only) {
            if (!told_view_only_) send(R"({"refused":"this panel is served for viewing only"})");
            told_view_only_ = true;
        } else {
            frontend::InputEvent event = std::get<frontend::InputEvent>(message.what);
            event.from = server_.from_;
            server_.input_.push(std::move(event));
        }
        read();
    }

    void refuse(const std::string& reason) {
        log_line(peer_ + ": " + reason + "; closed");
        closing_ = true;
        ws_.async_close(websocket::close_reason(websocket::close_code::policy_error),
                        [self = shared_from_this()](beast::error_code) {});
    }

    Impl& server_;
    std::string peer_;
    websocket::stream<beast::tcp_stream> ws_;
    beast::flat_buffer buffer_;
    View view_;
    uint64_t has_ = 0;  // the picture the client has
    std::deque<std::shared_ptr<const std::string>> texts_;
    bool writing_ = false, closing_ = false, told_view_only_ = false;
};

// One HTTP connection: requests answered in turn until it closes, or until it asks to become
// a WebSocket.
class WebServer::Impl::Http : public std::enable_shared_from_this<Http> {
public:
    Http(Impl& server, tcp::socket&& socket) : server_(server), peer_(peer_of(socket)), stream_(std::move(socket)) {
        ++server_.connections_;
    }
    ~Http() { --server_.connections_; }

    void read() {
        parser_.emplace();
        parser_->header_limit(largest_header);
        parser_->body_limit(largest_body);
        stream_.expires_after(30s);
        http::async_read(stream_, buffer_, *parser_,
                         [self = shared_from_this()](beast::error_code error, size_t) { self->on_read(error); });
    }

private:
    void on_read(beast::error_code error) {
        if (error) {
            // Closing or going quiet is a client's right; anything else was not HTTP.
            if (error != http::error::end_of_stream && error != beast::error::timeout &&
                error != net::error::connection_reset && error != net::error::eof) {
                log_line(peer_ + ": a bad request (" + error.message() + "); closed");
            }
            beast::error_code ignored;
            stream_.socket().shutdown(tcp::socket::shutdown_both, ignored);
            return;
        }
        request_ = parser_->release();
        const std::string_view host(request_[http::field::host].data(), request_[http::field::host].size());
        if (!host_allowed(host, server_.setup_.address.host)) {
            log_line(peer_ + ": a request for the host '" + std::string(host.substr(0, 100)) +
                     "', not this machine's loopback; refused");
            return respond({421, "text/plain; charset=utf-8", "this panel answers only to localhost\n"}, true);
        }
        if (websocket::is_upgrade(request_)) return upgrade();
        if (request_.method() != http::verb::get && request_.method() != http::verb::head) {
            return respond({405, "text/plain; charset=utf-8", "only GET\n"});
        }
        if (target_path(target()) == "/api/state") {
            asked_ = server_.hand_off_.ask_state();
            waited_ = std::chrono::steady_clock::now();
            return wait_for_state();
        }
        respond(server_.pages_.answer(target()));
    }

    std::string_view target() const { return {request_.target().data(), request_.target().size()}; }

    void upgrade() {
        if (target_path(target()) != "/socket") return respond({404, "text/plain; charset=utf-8", "no socket here\n"});
        const std::string origin(request_[http::field::origin]), host(request_[http::field::host]);
        if (!same_origin(origin, host)) {
            log_line(peer_ + ": a WebSocket from the page of another origin (" + origin.substr(0, 100) + "); refused");
            return respond({403, "text/plain; charset=utf-8", "another origin's page may not drive this panel\n"},
                           true);
        }
        if (server_.clients() >= server_.setup_.max_clients) {
            log_line(peer_ + ": a client beyond the " + std::to_string(server_.setup_.max_clients) +
                     " served; refused");
            return respond({503, "text/plain; charset=utf-8", "too many clients\n"}, true);
        }
        stream_.expires_never();
        std::make_shared<Socket>(server_, stream_.release_socket())->start(std::move(request_));
    }

    // /api/state is drawn up by the frame loop at its next frame; the answer is polled for
    // here, so that neither side waits on the other.
    void wait_for_state() {
        if (std::optional<std::string> answer = server_.hand_off_.answer_since(asked_)) {
            return respond({200, "application/json", std::move(*answer)});
        }
        if (std::chrono::steady_clock::now() - waited_ > state_wait) {
            return respond({503, "text/plain; charset=utf-8", "the flight shows no frames\n"});
        }
        timer_.emplace(server_.io_, 5ms);
        timer_->async_wait([self = shared_from_this()](beast::error_code error) {
            if (!error) self->wait_for_state();
        });
    }

    void respond(Answer answer, bool then_close = false) {
        auto response = std::make_shared<http::response<http::string_body>>(static_cast<http::status>(answer.status),
                                                                            request_.version());
        response->set(http::field::server, "panelhost");
        response->set(http::field::content_type, std::string(answer.type));
        response->set(http::field::cache_control, "no-store");
        response->set("X-Content-Type-Options", "nosniff");
        response->set("Content-Security-Policy", "default-src 'self'; img-src 'self' blob:; connect-src 'self'");
        response->keep_alive(!then_close && request_.keep_alive());
        if (request_.method() != http::verb::head) response->body() = std::move(answer.body);
        response->prepare_payload();
        if (request_.method() == http::verb::head) response->body().clear();
        http::async_write(stream_, *response, [self = shared_from_this(), response](beast::error_code error, size_t) {
            if (error || !response->keep_alive()) {
                beast::error_code ignored;
                self->stream_.socket().shutdown(tcp::socket::shutdown_both, ignored);
                return;
            }
            self->read();
        });
    }

    Impl& server_;
    std::string peer_;
    beast::tcp_stream stream_;
    beast::flat_buffer buffer_;
    std::optional<http::request_parser<http::string_body>> parser_;
    http::request<http::string_body> request_;
    uint64_t asked_ = 0;
    std::chrono::steady_clock::time_point waited_;
    std::optional<net::steady_timer> timer_;
};

WebServer::Impl::Impl(const ServerSetup& setup, const PanelLayout& layout, HandOff& hand_off,
                      frontend::InputQueue& input, frontend::FrontEnd* from)
    : setup_(setup),
      layout_(layout),
      hand_off_(hand_off),
      input_(input),
      from_(from),
      pages_(layout, setup.view_only),
      acceptor_(io_),
      heartbeat_(io_),
      accept_pause_(io_) {
    const std::string where = setup.address.host + ":" + std::to_string(setup.address.port);
    try {
        const tcp::endpoint endpoint(net::ip::make_address(setup.address.host), setup.address.port);
        acceptor_.open(endpoint.protocol());
        acceptor_.set_option(net::socket_base::reuse_address(true));
        acceptor_.bind(endpoint);
        acceptor_.listen();
        const tcp::endpoint bound = acceptor_.local_endpoint();
        const std::string host =
            bound.address().is_v6() ? "[" + bound.address().to_string() + "]" : bound.address().to_string();
        url_ = "http://" + host + ":" + std::to_string(bound.port()) + "/";
    } catch (const std::exception& error) {
        throw std::runtime_error("--serve " + where + ": cannot listen there (" + error.what() + ")");
    }
    accept();
    on_heartbeat();
    thread_ = std::thread([this] { io_.run(); });
}

WebServer::Impl::~Impl() {
    io_.stop();
    thread_.join();
    // The sockets still held by pending handlers go with the io_context, after this.
    stopping_ = true;
}

void WebServer::Impl::accept() {
    acceptor_.async_accept([this](beast::error_code error, tcp::socket socket) {
        if (error) {
            // Out of descriptors, say: a pause, not a spin.
            accept_pause_.expires_after(100ms);
            accept_pause_.async_wait([this](beast::error_code) { accept(); });
            return;
        }
        // Connections that never upgrade are bounded too, not only the clients.
        if (connections_ >= http_connections_per_client * setup_.max_clients) {
            log_line(peer_of(socket) + ": a connection beyond the " +
                     std::to_string(http_connections_per_client * setup_.max_clients) + " served at once; closed");
        } else {
            std::make_shared<Http>(*this, std::move(socket))->read();
        }
        accept();
    });
}

void WebServer::Impl::pictures_ready() {
    if (pictures_posted_.exchange(true)) return;
    net::post(io_, [this] {
        pictures_posted_ = false;
        take_pictures();
    });
}

void WebServer::Impl::take_pictures() {
    for (auto& [view, channel] : channels_) {
        if (!hand_off_.take_picture(view, channel.taken)) continue;
        std::vector<Region> regions = changed_regions(channel.current, channel.taken);
        if (regions.empty()) continue;
        const uint64_t before = channel.current.number;
        std::swap(channel.current, channel.taken);
        long changed = 0;
        for (const Region& region : regions) changed += long(region.width) * region.height;
        channel.whole.reset();
        channel.base = before;
        // Most of the picture changed: one PNG of it all is smaller than many.
        if (changed * 2 > long(channel.current.width) * channel.current.height) {
            channel.update = whole(channel);
        } else {
            channel.update =
                std::make_shared<const std::string>(encode_update(channel.current, regions, UpdateKind::regions));
        }
    }
    for (Socket* socket : sockets_) socket->pump();
}

std::shared_ptr<const std::string> WebServer::Impl::whole(Channel& channel) {
    if (!channel.whole) {
        const Picture& picture = channel.current;
        channel.whole = std::make_shared<const std::string>(
            encode_update(picture, {{0, 0, picture.width, picture.height}}, UpdateKind::whole));
    }
    return channel.whole;
}

void WebServer::Impl::join(Socket* socket) {
    sockets_.insert(socket);
    views_changed();
}

void WebServer::Impl::leave(Socket* socket) {
    if (sockets_.erase(socket) == 0) return;
    views_changed();
}

void WebServer::Impl::views_changed() {
    std::set<View> views;
    for (const Socket* socket : sockets_) views.insert(socket->view());
    std::erase_if(channels_, [&views](const auto& channel) { return !views.contains(channel.first); });
    for (const View& view : views) channels_.try_emplace(view);
    hand_off_.want_views(std::move(views));
    for (Socket* socket : sockets_) socket->pump();
}

std::string WebServer::Impl::state_text() const {
    const FlightState state = hand_off_.state();
    const bool stale = std::chrono::steady_clock::now() - state.when > stale_after;
    return nlohmann::json{{"frame", state.frame},
                          {"status", state.status},
                          {"paused", state.paused},
                          {"stale", stale},
                          {"clients", sockets_.size()}}
        .dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

void WebServer::Impl::on_heartbeat() {
    if (!sockets_.empty()) {
        const std::string text = state_text();
        for (Socket* socket : sockets_) socket->send(text);
    }
    heartbeat_.expires_after(heartbeat);
    heartbeat_.async_wait([this](beast::error_code error) {
        if (!error) on_heartbeat();
    });
}

WebServer::WebServer(const ServerSetup& setup, const PanelLayout& layout, HandOff& hand_off,
                     frontend::InputQueue& input, frontend::FrontEnd* from)
    : impl_(std::make_unique<Impl>(setup, layout, hand_off, input, from)) {}

WebServer::~WebServer() = default;

std::string WebServer::url() const {
    return impl_->url();
}

void WebServer::pictures_ready() {
    impl_->pictures_ready();
}

size_t WebServer::clients() const {
    return impl_->clients();
}

}  // namespace panel::server
