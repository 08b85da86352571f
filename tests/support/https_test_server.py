#!/usr/bin/env python3
"""A throw-away HTTPS server on 127.0.0.1 for the web update tests.

Makes its own certificate authority and two server certificates with the
openssl tool in DIR (one for 127.0.0.1, one for another host name), serves
DIR/files over both, and listens on a third port that accepts connections
and never answers. Prints "READY <port> <wrong-host port> <silent port>".

Paths: /files/NAME the file; /redirect/NAME a redirect to it;
/redirect-http/NAME a redirect to it over plain HTTP; /halfway/NAME the
first half of it under the full length, then the link drops.
"""
import http.server
import os
import socket
import ssl
import subprocess
import sys
import threading


def openssl(*args, cwd):
    subprocess.run(["openssl", *args], cwd=cwd, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def make_certificates(folder):
    ec = ["-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes"]
    openssl("req", "-x509", *ec, "-keyout", "ca.key", "-out", "ca.pem", "-days", "2", "-subj", "/CN=Update Test CA",
            "-addext", "basicConstraints=critical,CA:TRUE", "-addext", "keyUsage=critical,keyCertSign,cRLSign",
            cwd=folder)
    for name, alt in (("server", "IP:127.0.0.1"), ("wrong", "DNS:other.invalid")):
        openssl("req", *ec, "-keyout", name + ".key", "-out", name + ".csr", "-subj", "/CN=" + alt[alt.index(":") + 1:],
                cwd=folder)
        with open(os.path.join(folder, name + ".ext"), "w") as ext:
            ext.write("subjectAltName=%s\nbasicConstraints=CA:FALSE\n" % alt)
        openssl("x509", "-req", "-in", name + ".csr", "-CA", "ca.pem", "-CAkey", "ca.key", "-CAcreateserial",
                "-out", name + ".pem", "-days", "2", "-extfile", name + ".ext", cwd=folder)


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def send_body(self, body, length=None, code=200, location=None):
        self.send_response(code)
        if location:
            self.send_header("Location", location)
        self.send_header("Content-Length", str(len(body) if length is None else length))
        self.end_headers()
        self.wfile.write(body)

    def do_GET(self):
        kind, _, name = self.path.lstrip("/").partition("/")
        path = os.path.join(self.server.root, os.path.basename(name))
        host = "https://127.0.0.1:%d" % self.server.server_address[1]
        if kind in ("redirect", "redirect-http"):
            scheme_host = host if kind == "redirect" else host.replace("https:", "http:")
            return self.send_body(b"", code=302, location=scheme_host + "/files/" + name)
        if not os.path.isfile(path):
            return self.send_body(b"", code=404)
        with open(path, "rb") as f:
            body = f.read()
        if kind == "halfway":
            self.send_body(body[: len(body) // 2], len(body))
            self.wfile.flush()
            self.close_connection = True
            self.connection.shutdown(socket.SHUT_RDWR)
            return
        try:
            self.send_body(body)
        except (BrokenPipeError, ConnectionResetError, ssl.SSLError):
            self.close_connection = True


def https_server(folder, cert, root):
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    server.daemon_threads = True
    server.root = root
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(os.path.join(folder, cert + ".pem"), os.path.join(folder, cert + ".key"))
    server.socket = context.wrap_socket(server.socket, server_side=True)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server.server_address[1]


def main():
    folder = sys.argv[1]
    root = os.path.join(folder, "files")
    os.makedirs(root, exist_ok=True)
    make_certificates(folder)
    good = https_server(folder, "server", root)
    wrong = https_server(folder, "wrong", root)
    silent = socket.socket()
    silent.bind(("127.0.0.1", 0))
    silent.listen(16)  # accepted by the kernel, never read or answered
    print("READY %d %d %d" % (good, wrong, silent.getsockname()[1]), flush=True)
    sys.stdin.read()  # runs until the test closes the pipe


if __name__ == "__main__":
    main()
