#!/usr/bin/python3
"""A small SMTP server for the mail tests.

  smtpserver.py serve <folder> <user> <password> [--tls starttls|implicit]
                      [--cert <pem>] [--only LOGIN|PLAIN]
      Listens on 127.0.0.1 (a free port), requires AUTH, accepts only the
      given user and password, and writes each message to
      <folder>/mail-<n>.eml (the DATA bytes as received, dot-stuffing undone)
      with <folder>/mail-<n>.json beside it (mail_from, rcpt_tos, user,
      mechanism, tls). Every AUTH attempt adds a line to <folder>/auth.log.
      Without --tls there is no TLS at all. With starttls, AUTH is offered
      only once TLS is up; with implicit, TLS starts on connecting. <pem>
      holds the certificate and its key. --only offers that one of AUTH
      LOGIN and PLAIN, not the other.
  smtpserver.py certs <folder>
      Writes a test CA to <folder>/ca.pem, and certificate-and-key files
      signed by it for 127.0.0.1, ::1, localhost and mail.pelmar.test:
      trusted.pem, expired.pem, and wronghost.pem (for mail.other.test
      only); selfsigned.pem is for the same names but signed by itself.
  smtpserver.py silent
      Accepts connections and never says a word.

serve and silent print "READY <port>" once listening.
"""

import argparse
import asyncio
import datetime
import ipaddress
import json
import logging
import os
import socket
import ssl
import warnings

# Run under the system Python, where python3-aiosmtpd and
# python3-cryptography live.
from aiosmtpd.smtp import SMTP, AuthResult, LoginPassword

# AUTH without TLS and failed handshakes are part of the tests; keep the
# test output clean of the libraries' complaints about them.
warnings.simplefilter("ignore")
logging.getLogger("mail.log").setLevel(logging.CRITICAL)
logging.getLogger("asyncio").setLevel(logging.CRITICAL)


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
            "tls": is_tls(server),
        }
        # Body first, sidecar last: the sidecar's presence means complete.
        with open(base + ".eml", "wb") as f:
            f.write(envelope.original_content)
        with open(base + ".json.tmp", "w") as f:
            json.dump(sidecar, f)
        os.replace(base + ".json.tmp", base + ".json")
        return "250 OK"


def is_tls(server):
    return server.transport.get_extra_info("ssl_object") is not None


def make_authenticator(folder, user, password):
    def authenticate(server, session, envelope, mechanism, auth_data):
        with open(os.path.join(folder, "auth.log"), "a") as f:
            f.write("%s %s\n" % (mechanism, "tls" if is_tls(server) else "clear"))
        if not isinstance(auth_data, LoginPassword):
            return AuthResult(success=False, handled=False)
        if auth_data.login.decode() == user and auth_data.password.decode() == password:
            return AuthResult(
                success=True,
                auth_data={"user": auth_data.login.decode(), "mechanism": mechanism},
            )
        return AuthResult(success=False, handled=False)

    return authenticate


async def serve(args):
    loop = asyncio.get_running_loop()
    # A client that rejects the certificate aborts the handshake; that is
    # the expected outcome, not a server fault.
    loop.set_exception_handler(lambda loop, context: None)
    context = None
    if args.tls:
        context = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
        context.load_cert_chain(args.cert)
    handler = Recorder(args.folder)
    authenticator = make_authenticator(args.folder, args.user, args.password)
    server = await loop.create_server(
        lambda: SMTP(
            handler,
            hostname="localhost",  # skips a getfqdn() lookup per connection
            decode_data=False,
            tls_context=context if args.tls == "starttls" else None,
            # aiosmtpd counts only STARTTLS as TLS.
            auth_require_tls=args.tls == "starttls",
            auth_required=True,
            auth_exclude_mechanism=[
                m for m in ("LOGIN", "PLAIN") if args.only not in (None, m)
            ],
            authenticator=authenticator,
        ),
        "127.0.0.1",
        0,
        ssl=context if args.tls == "implicit" else None,
    )
    print("READY %d" % server.sockets[0].getsockname()[1], flush=True)
    await server.serve_forever()


def make_certificates(folder):
    from cryptography import x509
    from cryptography.hazmat.primitives import hashes, serialization
    from cryptography.hazmat.primitives.asymmetric import ec
    from cryptography.x509.oid import ExtendedKeyUsageOID, NameOID

    now = datetime.datetime.now(datetime.timezone.utc)
    day = datetime.timedelta(days=1)

    def name(common):
        return x509.Name([x509.NameAttribute(NameOID.COMMON_NAME, common)])

    def certificate(subject, key, issuer, issuer_key, start, end, ca, names=()):
        builder = (
            x509.CertificateBuilder()
            .subject_name(name(subject))
            .issuer_name(name(issuer))
            .public_key(key.public_key())
            .serial_number(x509.random_serial_number())
            .not_valid_before(start)
            .not_valid_after(end)
            .add_extension(x509.BasicConstraints(ca, None), critical=True)
            .add_extension(
                x509.SubjectKeyIdentifier.from_public_key(key.public_key()),
                critical=False,
            )
            .add_extension(
                x509.AuthorityKeyIdentifier.from_issuer_public_key(
                    issuer_key.public_key()
                ),
                critical=False,
            )
        )
        if not ca:
            builder = builder.add_extension(
                x509.ExtendedKeyUsage([ExtendedKeyUsageOID.SERVER_AUTH]), critical=False
            ).add_extension(x509.SubjectAlternativeName(list(names)), critical=False)
        return builder.sign(issuer_key, hashes.SHA256())

    def pem(cert, key=None):
        text = cert.public_bytes(serialization.Encoding.PEM)
        if key is not None:
            text += key.private_bytes(
                serialization.Encoding.PEM,
                serialization.PrivateFormat.PKCS8,
                serialization.NoEncryption(),
            )
        return text

    loopback = [
        x509.DNSName("localhost"),
        x509.DNSName("mail.pelmar.test"),
        x509.IPAddress(ipaddress.ip_address("127.0.0.1")),
        x509.IPAddress(ipaddress.ip_address("::1")),
    ]
    other = [x509.DNSName("mail.other.test")]
    valid = (now - day, now + 30 * day)
    ca_name = "Pelmar Test CA"
    ca_key = ec.generate_private_key(ec.SECP256R1())
    ca = certificate(ca_name, ca_key, ca_name, ca_key, *valid, True)
    files = {"ca.pem": pem(ca)}
    for kind, names, (start, end), signed_by_ca in [
        ("trusted", loopback, valid, True),
        ("expired", loopback, (now - 30 * day, now - day), True),
        ("wronghost", other, valid, True),
        ("selfsigned", loopback, valid, False),
    ]:
        key = ec.generate_private_key(ec.SECP256R1())
        subject = names[0].value
        issuer, issuer_key = (ca_name, ca_key) if signed_by_ca else (subject, key)
        cert = certificate(subject, key, issuer, issuer_key, start, end, False, names)
        files[kind + ".pem"] = pem(cert, key)
    for file_name, text in files.items():
        with open(os.path.join(folder, file_name), "wb") as f:
            f.write(text)


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
    parser = argparse.ArgumentParser(
        description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter
    )
    modes = parser.add_subparsers(dest="mode", required=True)
    serving = modes.add_parser("serve")
    serving.add_argument("folder")
    serving.add_argument("user")
    serving.add_argument("password")
    serving.add_argument("--tls", choices=["starttls", "implicit"])
    serving.add_argument("--cert")
    serving.add_argument("--only", choices=["LOGIN", "PLAIN"])
    modes.add_parser("certs").add_argument("folder")
    modes.add_parser("silent")
    args = parser.parse_args()
    if args.mode == "serve":
        if args.tls and not args.cert:
            parser.error("--tls needs --cert")
        asyncio.run(serve(args))
    elif args.mode == "certs":
        make_certificates(args.folder)
    else:
        silent()


if __name__ == "__main__":
    main()
