#include "serve/openapi.h"

#include <nlohmann/json.hpp>
#include <string_view>

#include "reports/report_format.h"

namespace lintaro {
namespace {

constexpr const char* kOpenApiDocument = R"json({
  "openapi": "3.1.0",
  "info": {
    "title": "Lintaro checking service",
    "version": "1",
    "description": "Checks submissions of corrected wage and tax statements as lintaro-cli check does. With a token (lintaro-cli serve --token-file), every request but GET / and GET /api/v1/health needs Authorization: Bearer TOKEN."
  },
  "components": {
    "securitySchemes": {"token": {"type": "http", "scheme": "bearer"}},
    "schemas": {
      "Error": {"type": "object", "required": ["error"], "properties": {"error": {"type": "object",
        "required": ["code", "message"], "properties": {"code": {"type": "string"}, "message": {"type": "string"}}}}},
      "Summary": {"type": ["object", "null"], "description": "Exactly what lintaro-cli check --format json prints for the check.",
        "properties": {"format_version": {"type": "integer"}, "lintaro_version": {"type": "string"},
          "files": {"type": "array", "items": {"type": "object"}},
          "outcome": {"enum": ["clean", "findings", "error_limit", "critical_stop", "aborted", "no_valid_data", "failed"]},
          "records_tested": {"type": "integer"}, "records_with_errors": {"type": "integer"}, "errors_found": {"type": "integer"},
          "critical_stop": {"type": ["object", "null"]}, "results": {"type": "string"}}},
      "Status": {"type": "object", "properties": {
        "id": {"type": "string"}, "state": {"enum": ["queued", "running", "done", "failed"]},
        "queue_position": {"type": ["integer", "null"]}, "records_tested": {"type": "integer"},
        "bytes_read": {"type": "integer"}, "bytes_total": {"type": "integer"},
        "files": {"type": "array", "items": {"type": "string"}},
        "created": {"type": ["string", "null"]}, "started": {"type": ["string", "null"]}, "ended": {"type": ["string", "null"]},
        "outcome": {"type": ["string", "null"], "description": "The Summary's outcome, incomplete for a check the service did not finish, or unreadable for results changed or deleted since the check ended."}, "problem": {"type": ["string", "null"]},
        "messages": {"type": "array", "items": {"type": "string"}, "description": "The alert of the check's run, when it met more all-zero correct amounts than the ten findings it keeps, and, for a clean check or one with findings, a line for each file after the final record, which was not read."},
        "summary": {"$ref": "#/components/schemas/Summary"}}}
    },
    "parameters": {
      "id": {"name": "id", "in": "path", "required": true, "schema": {"type": "string", "pattern": "^[A-Za-z0-9_-]{22}$"}}
    },
    "responses": {
      "Error": {"description": "An error", "content": {"application/json": {"schema": {"$ref": "#/components/schemas/Error"}}}}
    }
  },
  "security": [{"token": []}],
  "paths": {
    "/api/v1/health": {"get": {"security": [], "summary": "The service runs",
      "responses": {"200": {"description": "status, version, checks waiting and running", "content": {"application/json": {}}}}}},
    "/api/v1/checks": {
      "get": {"summary": "The checks the service holds", "responses": {"200": {"description": "{\"checks\": [{\"id\", \"files\", \"state\", \"created\", \"started\", \"ended\", \"outcome\", \"messages\"}]}", "content": {"application/json": {}}}, "401": {"$ref": "#/components/responses/Error"}}},
      "post": {"summary": "Check a submission",
        "parameters": [{"name": "name", "in": "query", "schema": {"type": "string"}, "description": "the file name of a raw body"},
                       {"name": "max_errors", "in": "query", "schema": {"type": "integer", "minimum": 1, "maximum": 25000, "default": 500}}],
        "requestBody": {"required": true, "content": {
          "multipart/form-data": {"schema": {"type": "object", "properties": {
            "file": {"type": "array", "items": {"type": "string", "format": "binary"}, "description": "the files of one submission, in order"},
            "max_errors": {"type": "integer", "minimum": 1, "maximum": 25000, "description": "before the file parts, when given"}}}},
          "application/octet-stream": {"schema": {"type": "string", "format": "binary"}}}},
        "responses": {"202": {"description": "{\"id\", \"status_url\"}", "content": {"application/json": {}}},
          "400": {"$ref": "#/components/responses/Error"}, "401": {"$ref": "#/components/responses/Error"},
          "403": {"$ref": "#/components/responses/Error"},
          "411": {"$ref": "#/components/responses/Error", "description": "length_required: neither Content-Length nor chunks"},
          "413": {"$ref": "#/components/responses/Error"}, "415": {"$ref": "#/components/responses/Error"},
          "429": {"$ref": "#/components/responses/Error"}, "503": {"$ref": "#/components/responses/Error"}}}},
    "/api/v1/checks/{id}": {
      "parameters": [{"$ref": "#/components/parameters/id"}],
      "get": {"summary": "A check's status and, once it ended, its summary",
        "responses": {"200": {"description": "the status", "content": {"application/json": {"schema": {"$ref": "#/components/schemas/Status"}}}}, "404": {"$ref": "#/components/responses/Error"}}},
      "delete": {"summary": "Cancel the check and delete its files and results",
        "responses": {"204": {"description": "deleted"}, "403": {"$ref": "#/components/responses/Error"}, "404": {"$ref": "#/components/responses/Error"},
          "500": {"$ref": "#/components/responses/Error", "description": "not_deleted: some of its files stay; the check stays listed"}}}},
    "/api/v1/checks/{id}/events": {
      "parameters": [{"$ref": "#/components/parameters/id"}],
      "get": {"summary": "The status as Server-Sent Events, at most every 200 ms, the last when the check ended",
        "responses": {"200": {"description": "data: STATUS events", "content": {"text/event-stream": {}}}, "404": {"$ref": "#/components/responses/Error"}}}},
    "/api/v1/checks/{id}/report": {
      "parameters": [{"$ref": "#/components/parameters/id"},
        {"name": "format", "in": "query", "schema": {"enum": [@FORMATS@], "default": "@DEFAULT_FORMAT@"}},
        {"name": "employer", "in": "query", "schema": {"type": "string"}, "description": "an EIN: only that employer's findings"}],
      "get": {"summary": "The error report, byte for byte what lintaro-cli report prints",
        "responses": {"200": {"description": "the report", "content": {@REPORT_CONTENT@}},
          "400": {"$ref": "#/components/responses/Error"}, "404": {"$ref": "#/components/responses/Error"}, "409": {"$ref": "#/components/responses/Error"}}}},
    "/api/v1/checks/{id}/records": {
      "parameters": [{"$ref": "#/components/parameters/id"},
        {"name": "with_errors", "in": "query", "schema": {"enum": ["0", "1"]}},
        {"name": "offset", "in": "query", "schema": {"type": "integer", "minimum": 0, "default": 0}},
        {"name": "limit", "in": "query", "schema": {"type": "integer", "minimum": 1, "maximum": 1000, "default": 100}}],
      "get": {"summary": "Rows of the tested records, or of the records with errors",
        "responses": {"200": {"description": "{\"total\", \"offset\", \"records\": [{\"record_number\", \"record_id\", \"reference\" (the SSN or EIN, or null), \"errors\", \"record\"}]}", "content": {"application/json": {}}},
          "400": {"$ref": "#/components/responses/Error"}, "404": {"$ref": "#/components/responses/Error"}, "409": {"$ref": "#/components/responses/Error"}}}},
    "/api/v1/checks/{id}/records/{number}": {
      "parameters": [{"$ref": "#/components/parameters/id"}, {"name": "number", "in": "path", "required": true, "schema": {"type": "integer", "minimum": 1}}],
      "get": {"summary": "A record as the record viewer shows it",
        "responses": {"200": {"description": "{\"record_number\", \"record_id\", \"caption\", \"fields\": [{\"field\", \"name\", \"positions\": {\"start\", \"end\"} | null, \"value\", \"marked\"}]}", "content": {"application/json": {}}},
          "400": {"$ref": "#/components/responses/Error"}, "404": {"$ref": "#/components/responses/Error"}, "409": {"$ref": "#/components/responses/Error"}}}},
    "/api/v1/checks/{id}/records/{number}/findings": {
      "parameters": [{"$ref": "#/components/parameters/id"}, {"name": "number", "in": "path", "required": true, "schema": {"type": "integer", "minimum": 1}}],
      "get": {"summary": "A record's findings in the order they were found, in the words of the JSON report",
        "responses": {"200": {"description": "{\"record_number\", \"record_id\", \"findings\": [{\"error_number\", \"critical\", \"field\", \"positions\": {\"start\", \"end\"} | null, \"user_entry\", \"message\"}]}", "content": {"application/json": {}}},
          "400": {"$ref": "#/components/responses/Error"}, "404": {"$ref": "#/components/responses/Error"}, "409": {"$ref": "#/components/responses/Error"}}}},
    "/api/v1/checks/{id}/employers": {
      "parameters": [{"$ref": "#/components/parameters/id"}],
      "get": {"summary": "The employers whose findings a report can be limited to (a Correct EIN of nine digits), in the order of their first employer record",
        "responses": {"200": {"description": "{\"employers\": [{\"ein\", \"name\", \"record_number\", \"records\"}]}", "content": {"application/json": {}}},
          "404": {"$ref": "#/components/responses/Error"}, "409": {"$ref": "#/components/responses/Error"}}}}
  }
}
)json";

// The report formats where the document names them: @FORMATS@ (the enum),
// @DEFAULT_FORMAT@ and @REPORT_CONTENT@ (each format's media type).
std::string WithReportFormats(std::string document) {
  std::string names;
  std::string content;
  for (const ReportFormat& format : ReportFormats()) {
    const std::string_view type = format.content_type.substr(0, format.content_type.find(';'));
    names += (names.empty() ? "\"" : ", \"") + std::string(format.name) + "\"";
    content += (content.empty() ? "\"" : ", \"") + std::string(type) + "\": {}";
  }
  for (const auto& [mark, text] : {std::pair<std::string_view, std::string>{"@FORMATS@", names},
                                   {"@DEFAULT_FORMAT@", std::string(DefaultReportFormat().name)},
                                   {"@REPORT_CONTENT@", content}})
    document.replace(document.find(mark), mark.size(), text);
  return document;
}

// The answers every operation can give, added to each where it does not
// tell its own: a GET with a body (400), a request without the token (401;
// not for what is open to all), one addressed to a name that is not
// loopback or sent by another site's page while the service has no token
// (403), and a fault of the service or results that cannot be read (500).
std::string WithCommonAnswers(const std::string& document) {
  using Json = nlohmann::ordered_json;
  Json doc = Json::parse(document);
  auto answer = [&](const char* description) {
    return Json{{"description", description},
                {"content",
                 {{"application/json", {{"schema", {{"$ref", "#/components/schemas/Error"}}}}}}}};
  };
  for (auto& [path, operations] : doc["paths"].items()) {
    for (auto& [method, operation] : operations.items()) {
      if (method == "parameters") continue;
      Json& responses = operation["responses"];
      const bool open = operation.contains("security") && operation["security"].empty();
      if (method == "get" && !responses.contains("400"))
        responses["400"] = answer("bad_request: a GET with a body");
      if (!open && !responses.contains("401"))
        responses["401"] = answer("unauthorized: the token is missing or wrong");
      if (!responses.contains("403"))
        responses["403"] = answer(
            "forbidden: without a token, a request addressed to a name that is not loopback, or "
            "sent by another site's page");
      if (!responses.contains("500"))
        responses["500"] = answer("a fault of the service, or results that cannot be read");
    }
  }
  return doc.dump(2);
}

}  // namespace

std::string OpenApiDocument() { return WithCommonAnswers(WithReportFormats(kOpenApiDocument)); }

}  // namespace lintaro
