#!/usr/bin/python3
"""A small SMTP server for the mail tests.

  smtpserver.py serve <folder> <user> <password>
      Listens on 127.0.0.1 (a free port), requires AUTH without TLS, accepts
      only the given user and password, and writes each message to
      <folder>/mail-<n>.eml (the DATA bytes as received, dot-stuffing undone)
      with <folder>/mail-<n>.json beside it (mail_from, rcpt_tos, user,
      mechanism).
  smtpserver.py silent
      Accepts connections and never says a word.

Either mode prints "READY <port>" once listening.
"""

import asyncio
import json
import logging
import os
import socket
import sys
import warnings

# Run under the system Python, where python3-aiosmtpd lives.
from aiosmtpd.smtp import SMTP, AuthResult, LoginPassword

# AUTH without TLS is the point here; keep the test output clean of the
# library's warnings about it.
warnings.simplefilter("ignore")
logging.getLogger("mail.log").setLevel(logging.ERROR)


class Recorder:
    def __init__(self, folder):
        self.folder = folder
        self.count = 0

    async def handle_DATA(self, server, session, envelope):
        self.count += 1
        base = os.path.join(self.folder, "mail-%d" % self.count)
        login = session.auth_data or {}
        sidecar = {
            "mail_from": envelope.mail_from,
            "rcpt_tos": list(envelope.rcpt_tos),
            "user": login.get("user"),
            "mechanism": login.get("mechanism"),
        }
        # Body first, sidecar last: the sidecar's presence means complete.
        with open(base + ".eml", "wb") as f:
            f.write(envelope.original_content)
        with open(base + ".json.tmp", "w") as f:
            json.dump(sidecar, f)
        os.replace(base + ".json.tmp", base + ".json")
        return "250 OK"


def make_authenticator(user, password):
    def authenticate(server, session, envelope, mechanism, auth_data):
        if not isinstance(auth_data, LoginPassword):
            return AuthResult(success=False, handled=False)
        if auth_data.login.decode() == user and auth_data.password.decode() == password:
            return AuthResult(
                success=True,
                auth_data={"user": auth_data.login.decode(), "mechanism": mechanism},
            )
        return AuthResult(success=False, handled=False)

    return authenticate


async def serve(folder, user, password):
    loop = asyncio.get_running_loop()
    handler = Recorder(folder)
    authenticator = make_authenticator(user, password)
    server = await loop.create_server(
        lambda: SMTP(
            handler,
            hostname="localhost",  # skips a getfqdn() lookup per connection
            decode_data=False,
            auth_require_tls=False,
            auth_required=True,
            authenticator=authenticator,
        ),
        "127.0.0.1",
        0,
    )
    print("READY %d" % server.sockets[0].getsockname()[1], flush=True)
    await server.serve_forever()


def silent():
    listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    listener.bind(("127.0.0.1", 0))
    listener.listen(16)
    print("READY %d" % listener.getsockname()[1], flush=True)
    held = []
    while True:
        connection, _ = listener.accept()
        held.append(connection)


def main():
    if len(sys.argv) == 5 and sys.argv[1] == "serve":
        asyncio.run(serve(sys.argv[2], sys.argv[3], sys.argv[4]))
    elif len(sys.argv) == 2 and sys.argv[1] == "silent":
        silent()
    else:
        sys.stderr.write(__doc__)
        sys.exit(2)


if __name__ == "__main__":
    main()
