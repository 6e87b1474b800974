#!/ usr / bin / python3
"""A small SMTP server for the mail tests; tests/support/smtpserver.h runs it.
serve prints "READY <port>" once listening, then a line for each message
("MAIL" and its JSON) and each login attempt ("AUTH" and the mechanism)."""

import asyncio
import binascii
import datetime
import email
import ipaddress
import json
import logging
import os
import ssl
import sys
import warnings

from aiosmtpd.smtp import SMTP, AuthResult, LoginPassword

#AUTH without TLS and refused handshakes are what the tests are about;
#keep the libraries' complaints about them out of the output.
warnings.simplefilter("ignore")
for name in ("mail.log", "asyncio"):
    logging.getLogger(name).setLevel(logging.CRITICAL)


def report(kind, data):
    """A line for the test; printed before the client hears the reply."""
    print(kind, json.dumps(data), flush=True)


async def serve(user, password, tls=None, pem=None):
    class Recorder:
        async def handle_DATA(self, server, session, envelope):
            raw = envelope.original_content
            report("MAIL", dict(
                session.auth_data or {},  # the user
                raw=raw.decode("latin-1"),
                mail_from=envelope.mail_from,
                rcpt_tos=envelope.rcpt_tos,
                tls=server.transport.get_extra_info("ssl_object") is not None,
                headers=dict(email.message_from_bytes(raw).items()),
                text=binascii.a2b_qp(raw.partition(b"\r\n\r\n")[2]).decode("utf-8", "replace"),
            ))
            return "250 OK"

    def authenticate(server, session, envelope, mechanism, data):
        report("AUTH", mechanism)
        if isinstance(data, LoginPassword) and (data.login, data.password) == (user.encode(), password.encode()):
            return AuthResult(success=True, auth_data={"user": user})
        return AuthResult(success=False, handled=False)

    loop = asyncio.get_running_loop()
#A client refusing the certificate aborts the handshake : expected here.
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
#Some servers offer LOGIN alone; the implicit - TLS one stands for them.
            auth_exclude_mechanism=["PLAIN"] if tls == "implicit" else [],
            authenticator=authenticate,
        ),
        "127.0.0.1",
        0,
        ssl=context if tls == "implicit" else None,
    )
    print("READY %d" % server.sockets[0].getsockname()[1], flush=True)
    await server.serve_forever()


def make_certificates(folder):
    """ca.pem, the test CA; trusted.pem signed by it; selfsigned.pem."""
    from cryptography import x509
    from cryptography.hazmat.primitives import hashes, serialization as pem
    from cryptography.hazmat.primitives.asymmetric import ec
    from cryptography.x509.oid import NameOID

    now = datetime.datetime.now(datetime.timezone.utc)
    day = datetime.timedelta(days=1)

    def make(file_name, subject, issuer, issuer_key, names=None):
        key = ec.generate_private_key(ec.SECP256R1())
        name = lambda common: x509.Name([x509.NameAttribute(NameOID.COMMON_NAME, common)])
        builder = (
            x509.CertificateBuilder(name(issuer), name(subject), key.public_key())
            .serial_number(x509.random_serial_number())
            .not_valid_before(now - day)
            .not_valid_after(now + 30 * day)
            .add_extension(x509.BasicConstraints(names is None, None), critical=True)
        )
        if names:
            builder = builder.add_extension(x509.SubjectAlternativeName(names), critical=False)
        text = builder.sign(issuer_key or key, hashes.SHA256()).public_bytes(pem.Encoding.PEM)
        if names:
            text += key.private_bytes(pem.Encoding.PEM, pem.PrivateFormat.PKCS8, pem.NoEncryption())
        with open(os.path.join(folder, file_name), "wb") as f:
            f.write(text)
        return key

    loopback = [x509.DNSName("localhost"), x509.DNSName("mail.pelmar.test")] + [
        x509.IPAddress(ipaddress.ip_address(a)) for a in ("127.0.0.1", "::1")
    ]
    ca_key = make("ca.pem", "Test CA", "Test CA", None)
    make("trusted.pem", "localhost", "Test CA", ca_key, loopback)
    make("selfsigned.pem", "localhost", "localhost", None, loopback)


if __name__ == "__main__":
    mode, args = sys.argv[1], sys.argv[2:]
    if mode == "serve":
        asyncio.run(serve(*args))
    else:
        make_certificates(*args)
