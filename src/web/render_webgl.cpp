// The browser's renderer: a box mesh of 36 vertices, one instance per needle and pane line
// (position, rotation, size and colour), and the fixed-function lighting equation in the
// vertex shader with look.h's light and material.
#include "web/render_webgl.h"

#include "grid.h"
#include "look.h"
#include "render.h"
#include "stick.h"
#include "utility/qzmath.h"

#include <GLES3/gl3.h>
#include <emscripten/html5.h>

#include <emscripten.h>

#include <cmath>
#include <string>
#include <vector>

namespace
{
const double DEGREES = PI / 180.0;

// Per instance: translation, the rotation's three columns, the box's size, its colour.
const int INSTANCE_FLOATS = 18;
const int PANE_LINES = 2 * CGrid::LastRow + 1;

const char* const VERTEX_SHADER = R"(#version 300 es
layout(location = 0) in vec3 corner;
layout(location = 1) in vec3 normal;
layout(location = 2) in vec3 at;
layout(location = 3) in vec3 column0;
layout(location = 4) in vec3 column1;
layout(location = 5) in vec3 column2;
layout(location = 6) in vec3 size;
layout(location = 7) in vec3 color;
uniform mat4 projection;
uniform vec3 scene_ambient, light_direction, light_ambient, light_diffuse, light_specular;
uniform vec3 material_specular, material_emission;
uniform float shininess;
flat out vec3 lit;
void main() {
  mat3 rotation = mat3(column0, column1, column2);
  gl_Position = projection * vec4(rotation * (corner * (size * 0.5)) + at, 1.0);
  // The fixed-function equation for a directional light and a viewer at infinity.
  vec3 n = rotation * normal;
  float diffuse = max(dot(n, light_direction), 0.0);
  vec3 c = material_emission + scene_ambient * color + light_ambient * color + diffuse * light_diffuse * color;
  if (diffuse > 0.0) {
    vec3 h = normalize(light_direction + vec3(0.0, 0.0, 1.0));
    c += pow(max(dot(n, h), 0.0), shininess) * light_specular * material_specular;
  }
  lit = clamp(c, 0.0, 1.0);
}
)";

const char* const FRAGMENT_SHADER = R"(#version 300 es
precision mediump float;
flat in vec3 lit;
out vec4 fragment;
void main() { fragment = vec4(lit, 1.0); }
)";

// What the test mode's fault option puts in place of a shader: a statement that compiles in
// neither stage.
const char* const BROKEN_SHADER = "#version 300 es\nvoid main() { undeclared = 1.0; }\n";

EMSCRIPTEN_WEBGL_CONTEXT_HANDLE Context = 0;
ShaderFault Fault = ShaderFault::NONE;
GLuint Program = 0;
GLuint InstanceBuffer = 0;
GLint ProjectionLocation = -1;
std::vector<float> Instances;

// A failed stage's log on the console, under the line the page shows.
void Report(const std::string& line, const std::vector<char>& log)
{
    EM_ASM({ console.error('needlecast: ' + UTF8ToString($0) + '\n' + UTF8ToString($1)); }, line.c_str(), log.data());
}

// The shader, or 0 with its log on the console.
GLuint Compile(GLenum kind, const char* source, const char* stage)
{
    const GLuint shader = glCreateShader(kind);
    glShaderSource(shader, 1, &source, nullptr);
    glCompileShader(shader);
    GLint compiled = 0;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
    if (compiled)
        return shader;
    GLint length = 0;
    glGetShaderiv(shader, GL_INFO_LOG_LENGTH, &length);
    std::vector<char> log(static_cast<size_t>(length) + 1, '\0');
    glGetShaderInfoLog(shader, length, nullptr, log.data());
    Report(std::string(stage) + " shader failed to compile", log);
    return 0;
}

// The box's 36 vertices: corner signs and face normal, two triangles per face, the faces in
// the order the OpenGL 1.1 renderer draws them.
std::vector<float> BoxMesh()
{
    std::vector<float> mesh;
    for (int face = 5; face >= 0; --face)
        for (int k : {0, 1, 2, 0, 2, 3})
        {
            const float* corner = BOX_CORNER_SIGNS[BOX_FACE_CORNERS[face][k]];
            mesh.insert(mesh.end(), corner, corner + 3);
            mesh.insert(mesh.end(), BOX_FACE_NORMALS[face], BOX_FACE_NORMALS[face] + 3);
        }
    return mesh;
}

void SetUniform(const char* name, const float* value)
{
    glUniform3fv(glGetUniformLocation(Program, name), 1, value);
}

// glRotated's matrix for an angle in degrees about an axis (normalised here, as GL does).
void RotationColumns(double angle, const CVector3& axis, float* out)
{
    const double length = std::sqrt(axis.x * axis.x + axis.y * axis.y + axis.z * axis.z);
    const double x = length > 0 ? axis.x / length : 0, y = length > 0 ? axis.y / length : 0;
    const double z = length > 0 ? axis.z / length : 1;
    const double c = std::cos(angle * DEGREES), s = std::sin(angle * DEGREES), t = 1 - c;
    const double m[9] = {x * x * t + c,     y * x * t + z * s, x * z * t - y * s, x * y * t - z * s, y * y * t + c,
                         y * z * t + x * s, x * z * t + y * s, y * z * t - x * s, z * z * t + c};
    for (int k = 0; k < 9; ++k)
        out[k] = static_cast<float>(m[k]);
}

void AddInstance(const CVector3& at, const float* rotation, const CVector3& size, const CVector3& color)
{
    const float values[INSTANCE_FLOATS] = {
        static_cast<float>(at.x),    static_cast<float>(at.y),    static_cast<float>(at.z),
        rotation[0],                 rotation[1],                 rotation[2],
        rotation[3],                 rotation[4],                 rotation[5],
        rotation[6],                 rotation[7],                 rotation[8],
        static_cast<float>(size.x),  static_cast<float>(size.y),  static_cast<float>(size.z),
        static_cast<float>(color.x), static_cast<float>(color.y), static_cast<float>(color.z),
    };
    Instances.insert(Instances.end(), values, values + INSTANCE_FLOATS);
}
} // namespace

double HalfViewTangent()
{
    return std::tan(FIELD_OF_VIEW * 0.5 * DEGREES);
}

void PerspectiveMatrix(double aspect, float (&matrix)[16])
{
    const double f = 1.0 / HalfViewTangent();
    const double depth = NEAR_PLANE - FAR_PLANE;
    const double m[16] = {f / aspect, 0, 0, 0, 0, f, 0, 0, 0, 0, (FAR_PLANE + NEAR_PLANE) / depth, -1,
                          0,          0, 2 * FAR_PLANE * NEAR_PLANE / depth, 0};
    for (int k = 0; k < 16; ++k)
        matrix[k] = static_cast<float>(m[k]);
}

namespace
{
// The program, its uniforms, the buffers and the GL state, on a new context or one given
// back. "" or the line naming the stage that failed.
std::string Build()
{
    const GLuint vertex = Compile(GL_VERTEX_SHADER, Fault == ShaderFault::VERTEX ? BROKEN_SHADER : VERTEX_SHADER,
                                  "vertex");
    const GLuint fragment = Compile(GL_FRAGMENT_SHADER,
                                    Fault == ShaderFault::FRAGMENT ? BROKEN_SHADER : FRAGMENT_SHADER, "fragment");
    // A context lost on the way fails every stage: its restoring builds again.
    if (emscripten_is_webgl_context_lost(Context))
        return "";
    if (vertex == 0 || fragment == 0)
        return vertex == 0 ? "vertex shader failed to compile" : "fragment shader failed to compile";
    Program = glCreateProgram();
    glAttachShader(Program, vertex);
    // The link fault: a program without its fragment stage.
    if (Fault != ShaderFault::LINK)
        glAttachShader(Program, fragment);
    glLinkProgram(Program);
    GLint linked = 0;
    glGetProgramiv(Program, GL_LINK_STATUS, &linked);
    if (!linked && !emscripten_is_webgl_context_lost(Context))
    {
        GLint length = 0;
        glGetProgramiv(Program, GL_INFO_LOG_LENGTH, &length);
        std::vector<char> log(static_cast<size_t>(length) + 1, '\0');
        glGetProgramInfoLog(Program, length, nullptr, log.data());
        Report("shader program failed to link", log);
        return "shader program failed to link";
    }
    glUseProgram(Program);
    ProjectionLocation = glGetUniformLocation(Program, "projection");
    SetUniform("scene_ambient", SCENE_AMBIENT);
    SetUniform("light_direction", LIGHT_POSITION);
    SetUniform("light_ambient", LIGHT_AMBIENT);
    SetUniform("light_diffuse", LIGHT_DIFFUSE);
    SetUniform("light_specular", LIGHT_SPECULAR);
    SetUniform("material_specular", MATERIAL_SPECULAR);
    SetUniform("material_emission", MATERIAL_EMISSION);
    glUniform1f(glGetUniformLocation(Program, "shininess"), MATERIAL_SHININESS);

    GLuint buffers[2];
    glGenBuffers(2, buffers);
    const std::vector<float> mesh = BoxMesh();
    glBindBuffer(GL_ARRAY_BUFFER, buffers[0]);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(mesh.size() * sizeof(float)), mesh.data(), GL_STATIC_DRAW);
    for (GLuint k = 0; k < 2; ++k)
    {
        glEnableVertexAttribArray(k);
        glVertexAttribPointer(k, 3, GL_FLOAT, GL_FALSE, 6 * sizeof(float),
                              reinterpret_cast<const void*>(k * 3 * sizeof(float)));
    }
    InstanceBuffer = buffers[1];
    glBindBuffer(GL_ARRAY_BUFFER, InstanceBuffer);
    for (GLuint k = 0; k < 6; ++k)
    {
        glEnableVertexAttribArray(2 + k);
        glVertexAttribPointer(2 + k, 3, GL_FLOAT, GL_FALSE, INSTANCE_FLOATS * sizeof(float),
                              reinterpret_cast<const void*>(k * 3 * sizeof(float)));
        glVertexAttribDivisor(2 + k, 1);
    }
    Instances.reserve((MAX_STICKS + PANE_LINES) * INSTANCE_FLOATS);

    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClearDepthf(1.0f);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    return "";
}
} // namespace

std::string WebGLInit(const char* canvas_selector, ShaderFault fault)
{
    EmscriptenWebGLContextAttributes attributes;
    emscripten_webgl_init_context_attributes(&attributes);
    attributes.majorVersion = 2;
    attributes.alpha = false;
    attributes.antialias = false;
    Context = emscripten_webgl_create_context(canvas_selector, &attributes);
    if (Context <= 0 || emscripten_webgl_make_context_current(Context) != EMSCRIPTEN_RESULT_SUCCESS)
        return "this page draws with WebGL 2, which this browser lacks or has switched off";
    Fault = fault;
    return Build();
}

std::string WebGLRestore()
{
    return Build();
}

void WebGLResize(int width, int height)
{
    glViewport(0, 0, width, height);
    float projection[16];
    PerspectiveMatrix(static_cast<double>(width) / static_cast<double>(height), projection);
    glUniformMatrix4fv(ProjectionLocation, 1, GL_FALSE, projection);
}

void WebGLDraw()
{
    Instances.clear();
    for (const CStick* stick : CRender::Sticks)
    {
        if (stick == nullptr)
            continue;
        float rotation[9];
        RotationColumns(stick->RotationAngle, stick->RotationAxis, rotation);
        AddInstance(stick->Position, rotation, stick->Size, stick->DrawnColor());
    }
    const float upright[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
    for (int row = -CGrid::LastRow; row <= CGrid::LastRow; ++row)
    {
        CVector3 at;
        at.Set(0.0, row, CGrid::Position.z);
        AddInstance(at, upright, CGrid::LineSize, CGrid::Color);
    }

    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glBindBuffer(GL_ARRAY_BUFFER, InstanceBuffer);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(Instances.size() * sizeof(float)), Instances.data(),
                 GL_STREAM_DRAW);
    glDrawArraysInstanced(GL_TRIANGLES, 0, 36, static_cast<GLsizei>(Instances.size() / INSTANCE_FLOATS));
}
