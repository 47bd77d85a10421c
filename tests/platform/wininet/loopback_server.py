# A loopback HTTP server for the internet tests: plain and TLS on free ports of 127.0.0.1.
# Prints "ports <plain> <tls>" once both listen, then serves until stdin closes.
import http.server
import ssl
import sys
import threading
import time


class Handler(http.server.BaseHTTPRequestHandler):
    def log_message(self, *args):
        pass

    def answer(self, status, body, headers=()):
        self.send_response(status)
        for k, v in headers:
            self.send_header(k, v)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)

    def do_GET(self):
        if self.path == "/version.txt":
            agent = self.headers.get("User-Agent", "")
            accept = self.headers.get("Accept", "")
            self.answer(200, ("1.4.2\nagent=%s\naccept=%s\n" % (agent, accept)).encode())
        elif self.path == "/redirect":
            self.answer(302, b"", [("Location", "/version.txt")])
        elif self.path == "/loop":
            self.answer(302, b"", [("Location", "/loop")])
        elif self.path == "/slow":
            time.sleep(5)
            self.answer(200, b"late")
        else:
            self.answer(404, b"not here")


def serve(server):
    threading.Thread(target=server.serve_forever, daemon=True).start()


plain = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
secure = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
context.load_cert_chain(sys.argv[1], sys.argv[2])
secure.socket = context.wrap_socket(secure.socket, server_side=True)
serve(plain)
serve(secure)
print("ports %d %d" % (plain.server_address[1], secure.server_address[1]), flush=True)
sys.stdin.read()
