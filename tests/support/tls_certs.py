#!/usr/bin/python3
"""Certificates for the encrypted FTP tests, written into one folder:

ca.pem             a test certificate authority (certificate only)
ca-signed.pem      certificate and key for 127.0.0.1, signed by that authority
self-signed.pem    certificate and key for 127.0.0.1, signed by itself
other-self-signed.pem  the same with another key
"""
import datetime
import ipaddress
import os
import sys

from cryptography import x509
from cryptography.hazmat.primitives import hashes, serialization
from cryptography.hazmat.primitives.asymmetric import ec
from cryptography.x509.oid import NameOID


def name(common):
    return x509.Name([x509.NameAttribute(NameOID.ORGANIZATION_NAME, "Quillon tests"),
                      x509.NameAttribute(NameOID.COMMON_NAME, common)])


def certificate(subject, key, issuer, issuer_key, ca):
    now = datetime.datetime.utcnow()
    builder = (x509.CertificateBuilder().subject_name(subject).issuer_name(issuer)
               .public_key(key.public_key()).serial_number(x509.random_serial_number())
               .not_valid_before(now - datetime.timedelta(days=1))
               .not_valid_after(now + datetime.timedelta(days=30))
               .add_extension(x509.BasicConstraints(ca=ca, path_length=None), critical=True))
    if not ca:
        builder = builder.add_extension(x509.SubjectAlternativeName(
            [x509.IPAddress(ipaddress.ip_address("127.0.0.1")), x509.DNSName("localhost")]), critical=False)
    return builder.sign(issuer_key, hashes.SHA256())


def pem(cert, key=None):
    text = cert.public_bytes(serialization.Encoding.PEM)
    if key is not None:
        text += key.private_bytes(serialization.Encoding.PEM, serialization.PrivateFormat.PKCS8,
                                  serialization.NoEncryption())
    return text


def write(folder, file, data):
    with open(os.path.join(folder, file), "wb") as f:
        f.write(data)


def main():
    folder = sys.argv[1]
    ca_key = ec.generate_private_key(ec.SECP256R1())
    ca = certificate(name("Quillon test CA"), ca_key, name("Quillon test CA"), ca_key, True)
    write(folder, "ca.pem", pem(ca))
    key = ec.generate_private_key(ec.SECP256R1())
    write(folder, "ca-signed.pem", pem(certificate(name("127.0.0.1"), key, ca.subject, ca_key, False), key))
    for file in ("self-signed.pem", "other-self-signed.pem"):
        key = ec.generate_private_key(ec.SECP256R1())
        write(folder, file, pem(certificate(name("127.0.0.1"), key, name("127.0.0.1"), key, False), key))


if __name__ == "__main__":
    main()
