#!/usr/bin/env python3
"""A socket peer for the tests, written with Python's standard library only.

peer.py tcp PORT STEP...   connect to 127.0.0.1:PORT and run the steps
peer.py udp PORT STEP...   send datagrams to 127.0.0.1:PORT
peer.py listen STEP...     listen on an ephemeral port, print it, accept one
                           connection and run the steps on it
peer.py recv-udp PORT [GROUP]
                           bind any address on PORT (joining GROUP if given),
                           print "ready", then print "IP:PORT text" of the
                           first datagram (gives up after 5 s)
peer.py many PORT N        open N connections at once, send one byte on each,
                           wait for the other side to close them
peer.py send-udp ADDR PORT TEXT
                           send TEXT to ADDR:PORT five times, 0.2 s apart,
                           with broadcast allowed and a multicast TTL of 1

Steps: text (sent as is), "bytes:N" (N bytes), "sleep:S", "recv:N" (read N
bytes and print them), "close" (orderly close), "reset" (close with a reset).
Prints "done" at the end.
"""
import socket
import struct
import sys
import time


def run(sock, steps, udp_port=None):
    for step in steps:
        if step.startswith("sleep:"):
            time.sleep(float(step[6:]))
        elif step.startswith("bytes:"):
            data = bytes(i % 251 for i in range(int(step[6:])))
            sock.sendall(data)
        elif step.startswith("recv:"):
            want, got = int(step[5:]), b""
            while len(got) < want:
                chunk = sock.recv(want - len(got))
                if not chunk:
                    break
                got += chunk
            print(got.decode(errors="replace"), flush=True)
        elif step == "close":
            sock.close()
            return
        elif step == "reset":
            sock.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
            sock.close()
            return
        elif udp_port is not None:
            sock.sendto(step.encode(), ("127.0.0.1", udp_port))
        else:
            sock.sendall(step.encode())


def main():
    kind = sys.argv[1]
    if kind == "tcp":
        sock = socket.create_connection(("127.0.0.1", int(sys.argv[2])), timeout=10)
        try:
            run(sock, sys.argv[3:])
        except OSError as e:  # the other side may close or reset mid-way
            print("peer: %s" % e, flush=True)
    elif kind == "udp":
        sock = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
        sock.bind(("127.0.0.1", 0))
        print(sock.getsockname()[1], flush=True)
        run(sock, sys.argv[3:], udp_port=int(sys.argv[2]))
    elif kind == "recv-udp":
        sock = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
        sock.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
        sock.bind(("", int(sys.argv[2])))
        if len(sys.argv) > 3:
            mreq = socket.inet_aton(sys.argv[3]) + socket.inet_aton("0.0.0.0")
            sock.setsockopt(socket.IPPROTO_IP, socket.IP_ADD_MEMBERSHIP, mreq)
        sock.settimeout(5)
        print("ready", flush=True)
        data, addr = sock.recvfrom(2048)
        print("%s:%d %s" % (addr[0], addr[1], data.decode(errors="replace")), flush=True)
    elif kind == "many":
        socks = [socket.create_connection(("127.0.0.1", int(sys.argv[2])), timeout=10)
                 for _ in range(int(sys.argv[3]))]
        for sock in socks:
            sock.sendall(b"m")
        print("connected", flush=True)
        for sock in socks:
            try:
                sock.recv(1)
            except OSError:
                pass
    elif kind == "send-udp":
        sock = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
        sock.setsockopt(socket.SOL_SOCKET, socket.SO_BROADCAST, 1)
        sock.setsockopt(socket.IPPROTO_IP, socket.IP_MULTICAST_TTL, 1)
        for _ in range(5):
            sock.sendto(sys.argv[4].encode(), (sys.argv[2], int(sys.argv[3])))
            time.sleep(0.2)
    elif kind == "listen":
        server = socket.socket()
        server.bind(("127.0.0.1", 0))
        server.listen(1)
        server.settimeout(10)
        print(server.getsockname()[1], flush=True)
        conn, _ = server.accept()
        run(conn, sys.argv[2:])
    print("done", flush=True)


if __name__ == "__main__":
    main()
