#!/usr/bin/python3
"""A small SMTP server for the mail tests, run under the system Python
(python3-aiosmtpd, python3-cryptography).

  smtpserver.py certs FOLDER
      Writes a test CA to ca.pem and, for 127.0.0.1, ::1, localhost and
      mail.pelmar.test, certificate-and-key files signed by it: trusted.pem,
      expired.pem and wronghost.pem (for mail.other.test instead); and
      selfsigned.pem, signed by itself.
  smtpserver.py serve FOLDER USER PASSWORD [starttls|implicit PEM] [login-only]
      Listens on 127.0.0.1, requires AUTH as USER with PASSWORD, and writes
      each message to FOLDER/mail-N.eml (the DATA bytes), then mail-N.json
      (mail_from, rcpt_tos, user, mechanism, tls); each AUTH attempt adds a
      line to FOLDER/auth.log. With starttls, AUTH is offered only once TLS
      is up. login-only offers AUTH LOGIN and not PLAIN.
  smtpserver.py silent
      Accepts connections and never says a word.

serve and silent print "READY <port>" once listening.
"""

import asyncio
import datetime
import ipaddress
import json
import logging
import os
import socket
import ssl
import sys
import warnings

from aiosmtpd.smtp import SMTP, AuthResult, LoginPassword

# AUTH without TLS and refused handshakes are what the tests are about;
# keep the libraries' complaints about them out of the output.
warnings.simplefilter("ignore")
logging.getLogger("mail.log").setLevel(logging.CRITICAL)
logging.getLogger("asyncio").setLevel(logging.CRITICAL)


def is_tls(server):
    return server.transport.get_extra_info("ssl_object") is not None


async def serve(folder, user, password, tls=None, pem=None, *options):
    count = 0

    class Recorder:
        async def handle_DATA(self, server, session, envelope):
            nonlocal count
            count += 1
            base = os.path.join(folder, "mail-%d" % count)
            login = session.auth_data or {}
            sidecar = {
                "mail_from": envelope.mail_from,
                "rcpt_tos": list(envelope.rcpt_tos),
                "user": login.get("user"),
                "mechanism": login.get("mechanism"),
                "tls": is_tls(server),
            }
            # The sidecar last: its presence means the message is complete.
            with open(base + ".eml", "wb") as f:
                f.write(envelope.original_content)
            with open(base + ".tmp", "w") as f:
                json.dump(sidecar, f)
            os.replace(base + ".tmp", base + ".json")
            return "250 OK"

    def authenticate(server, session, envelope, mechanism, data):
        with open(os.path.join(folder, "auth.log"), "a") as f:
            f.write("%s %s\n" % (mechanism, "tls" if is_tls(server) else "clear"))
        if isinstance(data, LoginPassword) and (data.login, data.password) == (
            user.encode(),
            password.encode(),
        ):
            return AuthResult(success=True, auth_data={"user": user, "mechanism": mechanism})
        return AuthResult(success=False, handled=False)

    loop = asyncio.get_running_loop()
    # A client refusing the certificate aborts the handshake: expected here.
    loop.set_exception_handler(lambda loop, context: None)
    context = None
    if tls:
        context = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
        context.load_cert_chain(pem)
    server = await loop.create_server(
        lambda: SMTP(
            Recorder(),
            hostname="localhost",  # skips a getfqdn() lookup per connection
            decode_data=False,
            tls_context=context if tls == "starttls" else None,
            auth_require_tls=tls == "starttls",  # aiosmtpd counts only STARTTLS
            auth_required=True,
            auth_exclude_mechanism=["PLAIN"] if "login-only" in options else [],
            authenticator=authenticate,
        ),
        "127.0.0.1",
        0,
        ssl=context if tls == "implicit" else None,
    )
    print("READY %d" % server.sockets[0].getsockname()[1], flush=True)
    await server.serve_forever()


def make_certificates(folder):
    from cryptography import x509
    from cryptography.hazmat.primitives import hashes, serialization
    from cryptography.hazmat.primitives.asymmetric import ec
    from cryptography.x509.oid import NameOID

    now = datetime.datetime.now(datetime.timezone.utc)
    day = datetime.timedelta(days=1)

    def certificate(subject, key, issuer, issuer_key, start, end, names=None):
        def name(common):
            return x509.Name([x509.NameAttribute(NameOID.COMMON_NAME, common)])

        builder = (
            x509.CertificateBuilder()
            .subject_name(name(subject))
            .issuer_name(name(issuer))
            .public_key(key.public_key())
            .serial_number(x509.random_serial_number())
            .not_valid_before(start)
            .not_valid_after(end)
            .add_extension(x509.BasicConstraints(names is None, None), critical=True)
        )
        if names:
            builder = builder.add_extension(x509.SubjectAlternativeName(names), critical=False)
        return builder.sign(issuer_key, hashes.SHA256())

    def write(file_name, cert, key=None):
        with open(os.path.join(folder, file_name), "wb") as f:
            f.write(cert.public_bytes(serialization.Encoding.PEM))
            if key is not None:
                f.write(
                    key.private_bytes(
                        serialization.Encoding.PEM,
                        serialization.PrivateFormat.PKCS8,
                        serialization.NoEncryption(),
                    )
                )

    loopback = [x509.DNSName("localhost"), x509.DNSName("mail.pelmar.test")] + [
        x509.IPAddress(ipaddress.ip_address(a)) for a in ("127.0.0.1", "::1")
    ]
    valid = (now - day, now + 30 * day)
    ca_key = ec.generate_private_key(ec.SECP256R1())
    write("ca.pem", certificate("Test CA", ca_key, "Test CA", ca_key, *valid))
    for kind, names, (start, end), by_ca in [
        ("trusted", loopback, valid, True),
        ("expired", loopback, (now - 30 * day, now - day), True),
        ("wronghost", [x509.DNSName("mail.other.test")], valid, True),
        ("selfsigned", loopback, valid, False),
    ]:
        key = ec.generate_private_key(ec.SECP256R1())
        subject = names[0].value
        issuer, issuer_key = ("Test CA", ca_key) if by_ca else (subject, key)
        write(kind + ".pem", certificate(subject, key, issuer, issuer_key, start, end, names), key)


def silent():
    listener = socket.create_server(("127.0.0.1", 0))
    print("READY %d" % listener.getsockname()[1], flush=True)
    held = []
    while True:
        held.append(listener.accept()[0])


if __name__ == "__main__":
    mode, args = sys.argv[1], sys.argv[2:]
    if mode == "serve":
        asyncio.run(serve(*args))
    elif mode == "certs":
        make_certificates(*args)
    else:
        silent()
