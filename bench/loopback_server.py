"""A loopback web server answering 200 to every GET, for the benchmarks.

Both urlcheck and the curl loop beside it talk to this one server, so their
figures compare the clients, not the servers.
"""
import http.server
import socket
import sys


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.0"

    def do_GET(self):
        body = b"ok\n"
        self.wfile.write(b"HTTP/1.0 200 OK\r\nContent-Length: 3\r\nConnection: close\r\n\r\n" + body)

    def log_message(self, *args):
        pass


class Server(http.server.ThreadingHTTPServer):
    def server_bind(self):
        self.socket.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
        super().server_bind()


if __name__ == "__main__":
    Server(("127.0.0.1", int(sys.argv[1])), Handler).serve_forever()
