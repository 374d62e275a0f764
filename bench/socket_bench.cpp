/* socket_bench: the socket channel (a TCP server through xsocketmanager in
 * callback mode, on loopback) against a plain blocking socket pair measured
 * in the same run. Prints each figure and its ratio to the baseline:
 *   throughput  bytes per second received
 *   latency     from a peer's send to the data arriving (median of 200)
 *   idle CPU    CPU seconds per second that an idle open channel costs
 * A measurement, not a test: nothing here passes or fails. */
#include "xsocketmanager.h"

#include <stdio.h>
#include <string.h>
#include <time.h>

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

namespace {

double now_s()
{
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

double cpu_s()
{
    timespec t;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

const int kBytes = 2 * 1024 * 1024;
const int kPings = 200;
const double kIdleSeconds = 2.0;

SOCKET connect_to(uint16_t port)
{
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in a = {};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    a.sin_addr.s_addr = inet_addr("127.0.0.1");
    if (connect(s, reinterpret_cast<sockaddr *>(&a), sizeof a) != 0) {
        closesocket(s);
        return INVALID_SOCKET;
    }
    return s;
}

void send_all(SOCKET s, const char *data, int len)
{
    for (int off = 0; off < len;) {
        int n = send(s, data + off, std::min(65536, len - off), 0);
        if (n <= 0)
            return;
        off += n;
    }
}

struct Counters {
    std::atomic<long> bytes{0};
    std::atomic<double> last_arrival{0};
    std::atomic<int> connected{0};
};

int on_recv(xsocket_event *e, void *u)
{
    Counters *c = static_cast<Counters *>(u);
    c->last_arrival = now_s(); /* before the count, which the measuring thread watches */
    c->bytes += e->length;
    return 0;
}

int on_status(xsocket_event *e, void *u)
{
    if (e->length == 0)
        static_cast<Counters *>(u)->connected++;
    return 0;
}

/* The three measurements, shared by the channel and the baseline: c counts
 * what the receiving side got and when. */
double idle_cpu()
{
    double c0 = cpu_s();
    Sleep(static_cast<DWORD>(kIdleSeconds * 1000));
    return (cpu_s() - c0) / kIdleSeconds;
}

double throughput(SOCKET peer, Counters &c)
{
    std::vector<char> data(kBytes, 'x');
    long start = c.bytes;
    double t0 = now_s();
    std::thread sender([&] { send_all(peer, data.data(), kBytes); });
    while (c.bytes - start < kBytes)
        Sleep(1);
    sender.join();
    return kBytes / (c.last_arrival.load() - t0);
}

double median_latency(SOCKET peer, Counters &c)
{
    std::vector<double> lat;
    for (int i = 0; i < kPings; i++) {
        long before = c.bytes;
        double s0 = now_s();
        send(peer, "p", 1, 0);
        while (c.bytes == before)
            std::this_thread::yield();
        lat.push_back(c.last_arrival.load() - s0);
    }
    std::sort(lat.begin(), lat.end());
    return lat[lat.size() / 2];
}

struct Figures {
    double throughput, latency, idle_cpu;
};

Figures measure_channel(uint16_t port)
{
    Figures f = {0, 0, 0};
    xsocketmanager *m = nullptr;
    Counters c;
    new_xsocketmanager(&m);
    m->ops->create(m);
    char port_text[8];
    snprintf(port_text, sizeof port_text, "%u", port);
    m->ops->configure(m, "127.0.0.1", port_text, "SERVER", "TCP", "UNICAST");
    if (m->ops->open(m) != 0) {
        fprintf(stderr, "socket_bench: the channel did not open (is utilbox beside the program?)\n");
        return f;
    }
    m->ops->set_callback(m, on_recv, 0, &c);
    m->ops->set_callback(m, on_status, 2, &c);
    if (m->ops->start(m, 0) < 0) {
        fprintf(stderr, "socket_bench: the channel did not start on port %u\n", port);
        return f;
    }
    SOCKET peer = connect_to(port);
    while (c.connected == 0)
        Sleep(1);

    f.idle_cpu = idle_cpu();

    f.throughput = throughput(peer, c);

    f.latency = median_latency(peer, c);

    closesocket(peer);
    m->ops->stop(m);
    m->ops->close(m);
    m->ops->release(m);
    delete_xsocketmanager(&m);
    return f;
}

/* The same three figures for a plain blocking socket pair: one thread blocks
 * in recv with a buffer of the channel's bucket size. */
Figures measure_baseline()
{
    Figures f = {0, 0, 0};
    SOCKET l = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in a = {};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = inet_addr("127.0.0.1");
    bind(l, reinterpret_cast<sockaddr *>(&a), sizeof a);
    listen(l, 1);
    int len = sizeof a;
    getsockname(l, reinterpret_cast<sockaddr *>(&a), &len);
    SOCKET peer = connect_to(ntohs(a.sin_port));
    SOCKET s = accept(l, nullptr, nullptr);
    Counters c;
    std::thread reader([&] {
        char buf[1500];
        int n;
        while ((n = recv(s, buf, sizeof buf, 0)) > 0) {
            c.last_arrival = now_s();
            c.bytes += n;
        }
    });
    f.idle_cpu = idle_cpu();

    f.throughput = throughput(peer, c);

    f.latency = median_latency(peer, c);
    closesocket(peer);
    reader.join();
    closesocket(s);
    closesocket(l);
    return f;
}

void row(const char *what, const char *unit, double channel, double baseline)
{
    printf("%-12s channel %14.6g %-8s baseline %14.6g %-8s ratio %10.4g\n", what, channel, unit, baseline, unit,
           baseline > 0 ? channel / baseline : 0.0);
}

} // namespace

int main(int argc, char **argv)
{
    uint16_t port = static_cast<uint16_t>(argc > 1 ? atoi(argv[1]) : 47500);
    WSADATA d;
    WSAStartup(MAKEWORD(2, 2), &d);
    Figures base = measure_baseline();
    Figures chan = measure_channel(port);
    WSACleanup();
    row("throughput", "B/s", chan.throughput, base.throughput);
    row("latency", "s", chan.latency, base.latency);
    row("idle CPU", "s/s", chan.idle_cpu, base.idle_cpu);
    return 0;
}
